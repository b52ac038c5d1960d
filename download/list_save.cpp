// SPDX-License-Identifier: MIT
// Lists of the service's photos saved under the service's own names, with their text files.
#include <filesystem>

#include "base/file_path.h"
#include "download/person_albums_source.h"
#include "download/photo_part_file.h"
#include "download/private_photo.h"
#include "download/run.h"

namespace tarn {
namespace {

// The addresses to try for `photo`, largest first; nothing when it cannot be had, with `why`.
std::optional<std::vector<PhotoAttempt>> Attempts(Run& run, const ScannedPhoto& photo,
                                                  PhotoLadder ladder, const std::string& referer,
                                                  std::string& why) {
  if (!photo.own_page)
    return PhotoAttempts(photo.listed.address, run.job.service.photo_size, ladder);
  std::string error;
  const std::optional<std::string> page = run.fetcher.FetchText(*photo.own_page, referer, error);
  const std::optional<std::string> large = page ? MainPhotoAddress(*page) : std::nullopt;
  if (!large) {
    why = "照片页面上没有找到大图：" + QuotedText(*photo.own_page) + (page ? "" : "\n" + error);
    return std::nullopt;
  }
  return std::vector<PhotoAttempt>{{*large, std::nullopt}, {photo.listed.address, std::nullopt}};
}

std::string AlbumName(const ScannedList& album) {
  return "相册 " + album.id + " " + QuotedText(album.title) + "：";
}

}  // namespace

void SaveList(Run& run, const PhotoSource& source, const WalkedList& list,
              const std::string& subfolder, bool may_be_empty) {
  const std::vector<ScannedPhoto>& photos = list.photos;
  if (photos.empty()) {
    if (!may_be_empty)
      run.report.End(
          {RunResult::Stop::kAlbumPage, "相册页面上没有找到照片：" + QuotedText(list.address)});
    return;
  }
  const auto folder_now = [&run, &subfolder] {
    const std::string folder = run.job.Now().folder;
    if (subfolder.empty()) return folder;
    (void)MakeSubfolder(folder, subfolder);  // one that cannot be made says why at the photo
    return FileInFolder(folder, subfolder);
  };
  const std::string folder = folder_now();
  if (!run.saver.HoldFolder(folder)) return;
  std::vector<std::string> names(photos.size());
  for (size_t i = 0; i < photos.size(); ++i) {
    if (!photos[i].id) continue;
    const std::optional<std::string> earlier = SavedPhotoPath(folder, *photos[i].id);
    names[i] = earlier ? Utf8FromPath(PathFromUtf8(*earlier).filename()) : *photos[i].id + ".jpg";
  }
  try {
    source.WriteText(folder, list, names);
    for (size_t i = 0; i < photos.size() && !run.report.Cancelled(); ++i) {
      std::string why;
      // Only the service's own names make file names that are safe and never collide.
      if (!photos[i].id)
        why = "照片地址中没有豆瓣的照片编号：" + QuotedText(photos[i].listed.address);
      const std::optional<std::vector<PhotoAttempt>> attempts =
          photos[i].id ? Attempts(run, photos[i], source.Ladder(), list.address, why)
                       : std::nullopt;
      if (run.report.Ended()) break;
      if (!attempts) {
        if (!run.report.PhotoHandled({}, true, why)) break;
        continue;
      }
      if (!run.saver.SaveNamedPhoto(folder_now(), *photos[i].id, *attempts, list.address, names[i]))
        break;
    }
    // Again with the names the photos took (a WebP-only photo is .webp).
    if (!run.report.Cancelled()) source.WriteText(folder, list, names);
  } catch (const net::FileStreamError& failure) {
    run.report.End({RunResult::Stop::kFile, QuotedText(failure.Message())});
  }
}

void SaveLists(Run& run, const PhotoSource& source, const WalkedList& lists) {
  struct Part {
    const ScannedList& named;
    WalkedList list;
    bool not_public = false;
    std::string failure;  // why the list cannot be saved; empty while it can
  };
  std::vector<Part> parts;
  for (const ScannedList& named : lists.lists) {
    Part& part = parts.emplace_back(Part{named, {}, false, {}});
    std::string error;
    const std::optional<std::string> page =
        run.fetcher.FetchPartPage(named.address, lists.address, error);
    if (run.report.Ended()) return;
    // A list that cannot be read costs only itself: it is told, and the others are saved.
    if (!page) {
      part.failure = "无法读取：" + QuotedText(named.address) + "\n" + error;
      continue;
    }
    if (!run.walk.Walk(source, FirstPage{named.address, *page, true}, part.list)) return;
    if (part.list.failure) {
      part.not_public = part.list.failure->stop == RunResult::Stop::kNotPublic;
      part.failure = part.list.failure->message;
    } else if (run.job.all_pages && !run.report.Result().truncated) {
      if (const std::optional<std::string> shortfall = part.list.Shortfall())
        run.report.Gap(AlbumName(named) + *shortfall);
    }
  }
  run.report.ScanDone(static_cast<int>(run.walk.Photos()));
  if (parts.empty()) {
    run.report.End({RunResult::Stop::kAlbumPage, "没有找到相册：" + QuotedText(lists.address)});
    return;
  }
  for (Part& part : parts) {
    if (run.report.Ended()) return;
    const int saved_before = run.report.Result().saved;
    const std::string name = AlbumName(part.named);
    if (part.not_public) {
      run.report.Section(name + "没有公开，跳过");
      continue;
    }
    const std::string folder = AlbumFolderName(part.named.id, part.named.title);
    if (part.failure.empty()) part.failure = MakeSubfolder(run.job.Now().folder, folder);
    if (!part.failure.empty()) {
      run.report.Section(name + "没有保存");
      run.report.Gap(name + part.failure);
      continue;
    }
    SaveList(run, source, part.list, folder, true);
    run.report.Section(name + std::to_string(part.list.photos.size()) + " 张照片，已保存 " +
                       std::to_string(run.report.Result().saved - saved_before) + " 张");
  }
}

}  // namespace tarn
