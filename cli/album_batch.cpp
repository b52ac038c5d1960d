// SPDX-License-Identifier: MIT
#include "cli/album_batch.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "download/download_worker.h"

namespace tarn::cli {
namespace {

// "相册 1681427427" for an address with an album number, else the address itself.
std::string AlbumLabel(const std::string& address, size_t index, size_t count) {
  std::string label;
  if (count > 1) {
    // Appended piece by piece: GCC 12 misreads "[" + std::to_string(…) as an overlapping copy.
    label.append("[").append(std::to_string(index + 1)).append("/");
    label.append(std::to_string(count)).append("] ");
  }
  constexpr std::string_view kAlbumPath = "/photos/album/";
  const size_t at = address.find(kAlbumPath);
  if (at != std::string::npos) {
    const size_t start = at + kAlbumPath.size();
    const size_t end = address.find_first_not_of("0123456789", start);
    if (end != start) return label + "相册 " + address.substr(start, end - start);
  }
  return label + address;
}

// The status one album's run earns; the batch keeps the gravest.
int StatusOf(const RunResult& result) {
  switch (result.stop) {
    case RunResult::Stop::kAlbumPage:
    case RunResult::Stop::kSecure:
    case RunResult::Stop::kNotPublic:
      return kExitAlbumUnavailable;
    case RunResult::Stop::kRefused:
      return kExitRefused;
    case RunResult::Stop::kFile:
      return kExitPhotosMissing;
    case RunResult::Stop::kNone:
      break;
  }
  return result.failed > 0 || result.truncated ? kExitPhotosMissing : kExitAllSaved;
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
  std::filesystem::create_directories(options.folder, error);
  if (!std::filesystem::is_directory(options.folder, error)) {
    std::fprintf(err, "tarn-get：无法创建目录：%s\n", options.folder.c_str());
    return kExitBadArguments;
  }

  int status = kExitAllSaved;
  int saved = 0;
  for (size_t i = 0; i < options.albums.size(); ++i) {
    DownloadJob job;
    job.album_address = options.albums[i];
    job.save_folder = options.folder;
    job.smart = !options.first_page;
    job.settings.preview = false;
    job.service.photo_size = options.size;
    job.service.pause = std::chrono::milliseconds(options.pause_ms);
    job.sign_in = options.sign_in;
    ProgressReport report(style, AlbumLabel(job.album_address, i, options.albums.size()), out, err);
    DownloadWorker(report, std::move(job)).Run(stop);
    saved += report.Saved();
    if (stop.stop_requested()) {
      report.CloseLine();
      std::fprintf(err, "tarn-get：已中断，共保存 %d 张照片。\n", saved);
      return kExitInterrupted;
    }
    const int album_status = StatusOf(*report.Result());
    if (Gravity(album_status) > Gravity(status)) status = album_status;
    if (album_status == kExitRefused) {
      // The next album would be refused too, and each request lengthens the ban.
      for (size_t rest = i + 1; rest < options.albums.size(); ++rest)
        std::fprintf(err, "tarn-get：未开始：%s\n", options.albums[rest].c_str());
      break;
    }
  }
  return status;
}

}  // namespace tarn::cli
