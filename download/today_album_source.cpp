// SPDX-License-Identifier: MIT
#include "download/today_album_source.h"

#include "download/album_scanner.h"
#include "download/album_text.h"
#include "download/photo_name.h"
#include "download/run_context.h"

namespace tarn {

std::optional<std::string> TodayAlbumSource::ReadPage(RunContext& run, std::string_view bytes,
                                                      const std::string& address) {
  const std::string page = BeginPage(bytes, address);
  if (FirstPage()) facts_ = ReadAlbumFacts(page);
  if (AlbumIsNotPublic(page)) {
    run.EndRun(RunResult::Stop::kNotPublic,
               "这个相册没有公开（只有主人或好友能看），无法下载：" + QuotedText(address));
    return std::nullopt;
  }
  const std::string_view rest = ScanTodayPhotos(page, [&](ListedPhoto photo) {
    std::optional<std::string> id = ServicePhotoId(photo.address);
    List(run, std::move(photo), std::move(id));
  });
  return EndPage(run, NextPageAddress(rest), address);
}

void TodayAlbumSource::WriteText(const RunContext& run, const std::string& folder,
                                 const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i) entries.push_back({names[i], run.Photos()[i].caption});
  WriteAlbumText(folder, first_address_, facts_, entries);
}

}  // namespace tarn
