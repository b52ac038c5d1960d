// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>

#include "base/shared_flags.h"
#include "base/tick.h"
#include "download/album_scanner.h"
#include "download/preview_decoder.h"
#include "net/file_stream.h"

namespace tarn {
namespace {

// A walk that keeps finding new pages is a server's loop, not an album.
constexpr int kMaxAlbumPages = 2000;

std::string ErrorText(const std::exception& error) { return error.what(); }

}  // namespace

struct DownloadWorker::Impl {
  Impl(DownloadView& view, DownloadSettings settings)
      : view(view), settings(std::move(settings)), client(this->settings.timeouts) {
    if (!this->settings.tick) this->settings.tick = TickCount32;
  }

  // Waits before attempt `attempt` (2, 3, ...); false when cancelled meanwhile.
  bool PauseBefore(int attempt) {
    const auto& pauses = settings.retry.pauses;
    if (pauses.empty()) return !cancelled;
    const auto pause =
        pauses[std::min<size_t>(static_cast<size_t>(attempt - 2), pauses.size() - 1)];
    std::unique_lock lock(pause_mutex);
    pause_wake.wait_for(lock, pause, [this] { return cancelled.load(); });
    return !cancelled;
  }

  // Runs `fetch(attempt)` until it succeeds, the attempts are used up or the run is cancelled.
  // A failed file write is no network trouble and is not retried.
  template <class Fetch>
  bool WithRetries(Fetch&& fetch, std::string& error) {
    for (int attempt = 1; attempt <= std::max(1, settings.retry.attempts); ++attempt) {
      if (attempt > 1 && !PauseBefore(attempt)) return false;
      if (cancelled) return false;
      try {
        fetch(attempt);
        return true;
      } catch (const net::FileStreamError&) {
        throw;
      } catch (const std::exception& failure) {
        error = ErrorText(failure);
      }
    }
    return false;
  }

  // The album's pages as the program's 8-bit text; nothing when the page cannot be had.
  std::optional<std::string> FetchPage(const std::optional<std::string>& fixed_address) {
    std::string address, page, error;
    const bool ok = WithRetries(
        [&](int) {
          // The first page's address is read afresh at every attempt.
          address = fixed_address ? *fixed_address : view.AlbumAddress();
          page = net::HttpClient::Utf8ToAnsi(client.FetchText(address));
        },
        error);
    if (ok) return page;
    if (!cancelled) message = "无法获取相册页面：" + address + "\n" + error;
    return std::nullopt;
  }

  // Adds the page's photos; returns the rest of the page, where its next link stands.
  std::string_view Collect(std::string_view page) {
    return ScanPhotos(page, [this](std::string address) {
      if (photos.size() >= settings.max_photos) {
        truncated = true;
        return;
      }
      photos.push_back(std::move(address));
      ++PhotoCount;
    });
  }

  bool ScanAlbum() {
    std::optional<std::string> page = FetchPage(std::nullopt);
    if (!page) return false;
    std::string_view rest = Collect(*page);
    if (!settings.smart) return true;
    std::set<std::string> visited;
    for (int pages = 1; pages < kMaxAlbumPages && !truncated; ++pages) {
      std::optional<std::string> next = NextPageAddress(rest);
      // A page that links back to one already read would never end the walk.
      if (!next || !visited.insert(*next).second) break;
      page = FetchPage(next);
      if (!page) return false;
      rest = Collect(*page);
    }
    return true;
  }

  std::string FileName(uint32_t stamp, size_t index) {
    return view.SaveFolder() + "/" + std::to_string(stamp) + "_" + std::to_string(index) + ".jpg";
  }

  // Saves photo `index`; false ends the run (a file that cannot be made, or cancel).
  bool SavePhoto(uint32_t stamp, size_t index) {
    const std::string path = FileName(stamp, index);
    std::optional<net::FileStream> file;
    try {
      file.emplace(path);
    } catch (const std::exception& error) {
      message = "无法创建文件：" + path + "\n" + ErrorText(error);
      return false;
    }
    std::string error;
    bool saved = false;
    try {
      saved = WithRetries(
          [&](int attempt) {
            if (attempt > 1) file->Rewind();  // no bytes of a failed attempt stay
            client.FetchToStream(photos[index], *file);
          },
          error);
    } catch (const net::FileStreamError& failure) {
      message = "无法写入文件：" + path + "\n" + failure.Message();
    }
    file.reset();
    if (!saved) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);  // never leave a partial photo behind
      if (cancelled || !message.empty()) return false;
      ++failed;
    }
    view.PhotoDone(static_cast<int>(index + 1));
    if (saved && preview) preview->Submit(FileName(stamp, index));
    return true;
  }

  void SavePhotos() {
    const uint32_t stamp = settings.tick();
    for (size_t i = 0; i < photos.size(); ++i) {
      if (cancelled || !SavePhoto(stamp, i)) return;
    }
    if (failed > 0) message = "有 " + std::to_string(failed) + " 张照片未能保存。";
    if (truncated) {
      if (!message.empty()) message += "\n";
      message += "相册照片太多，只保存了前 " + std::to_string(photos.size()) + " 张。";
    }
  }

  void Run() {
    if (settings.preview)
      preview.emplace([this](RgbImage image) { view.ShowPreview(std::move(image)); });
    if (ScanAlbum()) {
      view.ScanReported(static_cast<int>(photos.size()));
      SavePhotos();
    }
    // The last photo saved is the one left in the preview.
    if (preview && !cancelled) preview->Drain();
    preview.reset();
    PhotoCount = 0;
    if (!cancelled) view.Finished(message);
  }

  DownloadView& view;
  DownloadSettings settings;
  net::HttpClient client;
  std::optional<PreviewDecoder> preview;
  std::vector<std::string> photos;
  std::string message;
  int failed = 0;
  bool truncated = false;  // the album had more photos than max_photos
  std::atomic<bool> cancelled{false};
  std::mutex pause_mutex;
  std::condition_variable pause_wake;
};

DownloadWorker::DownloadWorker(DownloadView& view, DownloadSettings settings)
    : impl_(std::make_unique<Impl>(view, std::move(settings))) {}

DownloadWorker::~DownloadWorker() = default;

void DownloadWorker::Run() { impl_->Run(); }

void DownloadWorker::Cancel() {
  {
    std::lock_guard lock(impl_->pause_mutex);
    impl_->cancelled = true;
  }
  impl_->pause_wake.notify_all();
  impl_->client.Abort();
}

}  // namespace tarn
