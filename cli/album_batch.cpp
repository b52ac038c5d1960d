// SPDX-License-Identifier: MIT
#include "cli/album_batch.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "base/cut_text.h"
#include "base/file_path.h"
#include "cli/line_output.h"
#include "download/download_worker.h"
#include "service/page_address.h"

namespace tarn::cli {
namespace {

// "相册 1681427427" (or 明星, 影人, 影视, 日记 …) for an address with a number, else the address.
std::string AlbumLabel(const std::string& address, size_t index, size_t count) {
  std::string label;
  if (count > 1) {
    // Appended piece by piece: GCC 12 misreads "[" + std::to_string(…) as an overlapping copy.
    label.append("[").append(std::to_string(index + 1)).append("/");
    label.append(std::to_string(count)).append("] ");
  }
  const std::optional<PageAddress> page = ReadPageAddress(address);
  if (!page || page->id.empty()) return label + QuotedText(address);
  switch (page->kind) {
    case PageKind::kAlbum:
      return label + "相册 " + page->id;
    case PageKind::kStarPhotos:
      return label + "明星 " + page->id;
    case PageKind::kOldStarPhotos:
      return label + "影人 " + page->id;
    case PageKind::kPersonAlbums:
      return label + "用户 " + page->id;
    case PageKind::kFilmPhotos:
      return label + "影视 " + page->id +
             (page->film_type == 'R'   ? " 海报"
              : page->film_type == 'W' ? " 壁纸"
                                       : " 剧照");
    case PageKind::kSitePhotos:
    case PageKind::kSiteAlbum:
      return label + "小站相册 " + page->id;
    case PageKind::kNote:
      return label + "日记 " + page->id;
    case PageKind::kTopic:
      return label + "话题 " + page->id;
  }
  return label + QuotedText(address);
}

// The status one album's run earns; the batch keeps the gravest.
int StatusOf(const RunResult& result) {
  switch (result.stop) {
    case RunResult::Stop::kAlbumPage:
    case RunResult::Stop::kSecure:
    case RunResult::Stop::kNotPublic:
    case RunResult::Stop::kSignIn:
    case RunResult::Stop::kProxy:
      return kExitAlbumUnavailable;
    case RunResult::Stop::kRefused:
      return kExitRefused;
    case RunResult::Stop::kFile:
      return kExitPhotosMissing;
    case RunResult::Stop::kNone:
      break;
  }
  return result.failed > 0 || result.truncated || result.walk_cut ? kExitPhotosMissing
                                                                  : kExitAllSaved;
}

int Gravity(int status) {
  switch (status) {
    case kExitRefused:
      return 3;
    case kExitAlbumUnavailable:
      return 2;
    case kExitPhotosMissing:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

int RunAlbums(const Options& options, ProgressStyle style, std::stop_token stop, std::FILE* out,
              std::FILE* err) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(options.folder), error);
  if (!std::filesystem::is_directory(PathFromUtf8(options.folder), error)) {
    WriteLine(err, "tarn-get：无法创建目录：" + QuotedText(options.folder) + "\n", kErrorWait);
    return kExitBadArguments;
  }

  int status = kExitAllSaved;
  int saved = 0;
  // One pacer for the whole batch: the next album's first request keeps its distance too.
  const auto pacer = std::make_shared<RequestPacer>(options.service.pause, std::random_device{}());
  const auto image_pacer =
      std::make_shared<RequestPacer>(options.service.image_pause, std::random_device{}());
  for (size_t i = 0; i < options.albums.size(); ++i) {
    DownloadJob job;
    job.inputs = {options.albums[i], options.folder};
    job.all_pages = !options.first_page;
    job.settings.preview = false;
    job.service = options.service;
    job.pacer = pacer;
    job.image_pacer = image_pacer;
    job.sign_in = options.sign_in;
    ProgressReport report(style, AlbumLabel(options.albums[i], i, options.albums.size()), out, err);
    DownloadWorker(report, std::move(job)).Run(stop);
    saved += report.Saved();
    if (stop.stop_requested()) {
      report.CloseLine();
      WriteLine(err, "tarn-get：已中断，共保存 " + std::to_string(saved) + " 张照片。\n",
                kErrorWait);
      return kExitInterrupted;
    }
    const int album_status = StatusOf(*report.Result());
    if (Gravity(album_status) > Gravity(status)) status = album_status;
    if (album_status == kExitRefused) {
      // The next album would be refused too, and each request lengthens the ban.
      for (size_t rest = i + 1; rest < options.albums.size(); ++rest)
        WriteLine(err, "tarn-get：未开始：" + QuotedText(options.albums[rest]) + "\n", kErrorWait);
      break;
    }
  }
  return status;
}

}  // namespace tarn::cli
