// SPDX-License-Identifier: MIT
#include "download/today_album_source.h"

#include <filesystem>

#include "base/clean_text.h"
#include "download/album_scanner.h"
#include "download/album_text.h"
#include "download/photo_name.h"
#include "download/photo_part_file.h"
#include "download/run_context.h"

namespace tarn {

std::optional<std::string> TodayAlbumSource::ReadPage(RunContext& run, std::string_view bytes,
                                                      const std::string& address) {
  // A stray byte in a caption must not cost the page: it becomes U+FFFD.
  const std::string page = ScrubUtf8(bytes);
  const bool first = album_address_.empty();
  if (first) {
    album_address_ = address;
    facts_ = ReadAlbumFacts(page);
  }
  if (AlbumIsNotPublic(page)) {
    run.EndRun(RunResult::Stop::kNotPublic,
               "这个相册没有公开（只有主人或好友能看），无法下载：" + QuotedText(address));
    return std::nullopt;
  }
  size_t listed = 0, fresh = 0;
  const std::string_view rest = ScanTodayPhotos(page, [&](ListedPhoto photo) {
    ++listed;
    std::optional<std::string> id = ServicePhotoId(photo.address);
    if (!listed_.insert(id ? *id : photo.address).second) return;
    ++fresh;
    if (run.AddPhoto(std::move(photo))) ids_.push_back(std::move(id));
  });
  std::optional<std::string> next = NextPageAddress(rest);
  // Pages that only repeat what was listed lead nowhere new.
  if (listed > 0 && fresh == 0) return std::nullopt;
  if (listed == 0 && next) {
    run.EndRun(RunResult::Stop::kAlbumPage,
               "相册页面上没有找到照片，下载已停止：" + QuotedText(address));
    return std::nullopt;
  }
  return next;
}

void TodayAlbumSource::WriteText(const RunContext& run, const std::string& folder) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names_.size());
  for (size_t i = 0; i < names_.size(); ++i)
    entries.push_back({names_[i], run.Photos()[i].caption});
  WriteAlbumText(folder, album_address_, facts_, entries);
}

void TodayAlbumSource::SavePhotos(RunContext& run) {
  const std::vector<ListedPhoto>& photos = run.Photos();
  if (photos.empty()) {
    run.EndRun(RunResult::Stop::kAlbumPage,
               "相册页面上没有找到照片：" + QuotedText(album_address_));
    return;
  }
  const std::string folder = run.Job().Now().folder;
  if (!run.HoldFolder(folder)) return;
  names_.resize(photos.size());
  for (size_t i = 0; i < photos.size(); ++i) {
    if (!ids_[i]) continue;
    const std::optional<std::string> earlier = SavedPhotoPath(folder, *ids_[i]);
    names_[i] = earlier ? std::filesystem::path(*earlier).filename().string() : *ids_[i] + ".jpg";
  }
  try {
    WriteText(run, folder);
    for (size_t i = 0; i < photos.size() && !run.Cancelled(); ++i) {
      if (!ids_[i]) {
        // Only the service's own names make safe file names that cannot collide.
        if (!run.PhotoHandled(i, {}, true,
                              "照片地址中没有豆瓣的照片编号：" + QuotedText(photos[i].address)))
          break;
        continue;
      }
      const std::vector<PhotoAttempt> attempts =
          PhotoAttempts(photos[i].address, run.Job().service.photo_size);
      if (!run.SaveNamedPhoto(i, run.Job().Now().folder, *ids_[i], attempts, album_address_,
                              names_[i]))
        break;
    }
    // Again with the names the photos took (a WebP-only photo is .webp).
    if (!run.Cancelled()) WriteText(run, folder);
  } catch (const net::FileStreamError& failure) {
    run.EndRun(RunResult::Stop::kFile, QuotedText(failure.Message()));
  }
}

}  // namespace tarn
