// SPDX-License-Identifier: MIT
#include "download/today_album_source.h"

#include "download/album_scanner.h"
#include "download/album_text.h"
#include "download/photo_name.h"
#include "download/private_photo.h"
#include "download/run_context.h"
#include "service/hosts.h"

namespace tarn {

std::optional<std::string> TodayAlbumSource::ReadPage(RunContext& run, std::string_view bytes,
                                                      const std::string& address) {
  const std::string page = BeginPage(bytes, address);
  if (FirstPage()) facts_ = ReadAlbumFacts(page);
  if (AlbumIsNotPublic(page)) {
    not_public_ = true;
    if (!one_of_many_)
      run.EndRun(RunResult::Stop::kNotPublic,
                 "这个相册没有公开（只有主人或好友能看），无法下载：" + QuotedText(address));
    return std::nullopt;
  }
  const std::string_view rest = ScanTodayPhotos(page, [&](ListedPhoto photo) {
    std::optional<std::string> id = ServicePhotoId(photo.address);
    if (!id) id = PrivatePhotoId(photo.address);
    List(run, std::move(photo), std::move(id));
  });
  return EndPage(run, NextPageAddress(rest), address);
}

bool TodayAlbumSource::AfterWalk(RunContext& run) {
  if (run.Job().all_pages && !run.Result().truncated)
    if (const std::optional<std::string> shortfall = Shortfall()) run.CutWalk(*shortfall);
  return true;
}

std::optional<std::string> TodayAlbumSource::Shortfall() const {
  const auto found = static_cast<int64_t>(Count());
  if (!facts_.photo_count || found >= *facts_.photo_count) return std::nullopt;
  return "相册写着 " + std::to_string(*facts_.photo_count) + " 张，只找到 " +
         std::to_string(found) + " 张";
}

std::optional<std::vector<PhotoAttempt>> TodayAlbumSource::Attempts(RunContext& run, size_t index,
                                                                    std::string& why) {
  const std::string& listed = run.Photos()[index].address;
  const std::optional<std::string> id = PrivatePhotoId(listed);
  if (!id) return ServiceSource::Attempts(run, index, why);
  const std::string page_address =
      "https://" + PhotoHost() + "/photos/photo/" + id->substr(1) + "/";
  std::string error;
  const std::optional<std::string> page = run.FetchText(page_address, first_address_, error);
  const std::optional<std::string> large = page ? MainPhotoAddress(*page) : std::nullopt;
  if (!large) {
    why = "照片页面上没有找到大图：" + QuotedText(page_address) + (page ? "" : "\n" + error);
    return std::nullopt;
  }
  return std::vector<PhotoAttempt>{{*large, std::nullopt}, {listed, std::nullopt}};
}

void TodayAlbumSource::WriteText(const RunContext& run, const std::string& folder,
                                 const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i) entries.push_back({names[i], Photo(run, i).caption});
  WriteAlbumText(folder, first_address_, facts_, entries);
}

}  // namespace tarn
