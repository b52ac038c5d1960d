// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>

#include "base/cut_text.h"
#include "base/tick.h"
#include "download/album_scanner.h"
#include "download/low_space.h"
#include "download/stamped_names.h"
#include "download/preview_decoder.h"
#include "net/file_stream.h"
#include "net/retry_rule.h"
#include "net/tls_errors.h"

namespace tarn {
namespace {

// A walk that keeps finding new pages is a server's loop, not an album.
constexpr int kMaxAlbumPages = 2000;

// A server's text in a message is cut short: it may be as long as the server likes.
std::string ErrorText(const std::exception& error) { return CutText(error.what()); }

}  // namespace

struct DownloadWorker::Impl {
  Impl(DownloadEvents& events, DownloadJob job)
      : events(events),
        job(std::move(job)),
        settings(this->job.settings),
        client(settings.timeouts) {
    if (!settings.tick) settings.tick = TickCount32;
  }

  bool Cancelled() const { return stop.stop_requested(); }

  // Waits before attempt `attempt` (2, 3, ...); false when cancelled meanwhile.
  bool PauseBefore(int attempt) {
    const auto& pauses = settings.retry.pauses;
    if (pauses.empty()) return !Cancelled();
    const auto pause =
        pauses[std::min<size_t>(static_cast<size_t>(attempt - 2), pauses.size() - 1)];
    std::unique_lock lock(pause_mutex);
    pause_wake.wait_for(lock, stop, pause, [] { return false; });
    return !Cancelled();
  }

  // Runs `fetch(attempt)` until it succeeds, the attempts are used up or the run is cancelled.
  // A failed file write is no network trouble and ends the run; a failure that another try
  // would only repeat (a 404, an address that cannot be sent) is not tried again.
  template <class Fetch>
  bool WithRetries(Fetch&& fetch, std::string& error) {
    for (int attempt = 1; attempt <= std::max(1, settings.retry.attempts); ++attempt) {
      if (attempt > 1 && !PauseBefore(attempt)) return false;
      if (Cancelled()) return false;
      try {
        fetch(attempt);
        return true;
      } catch (const net::FileStreamError&) {
        throw;
      } catch (const net::ETlsSetupError&) {
        throw;  // a certificate or handshake that failed fails again
      } catch (const std::exception& failure) {
        error = ErrorText(failure);
        if (!net::IsWorthRetrying(failure)) return false;
      }
    }
    return false;
  }

  // The album's pages as the program's 8-bit text; nothing when the page cannot be had.
  std::optional<std::string> FetchPage(const std::optional<std::string>& fixed_address) {
    std::string address, page, error;
    bool ok = false;
    try {
      ok = WithRetries(
          [&](int) {
            // The first page's address is read afresh at every attempt.
            address = fixed_address ? *fixed_address : job.AlbumAddressNow();
            page = net::HttpClient::Utf8ToAnsi(client.FetchText(address));
          },
          error);
    } catch (const net::ETlsSetupError& failure) {
      EndInsecure(failure);
      return std::nullopt;
    }
    if (ok) return page;
    if (!Cancelled())
      EndRun(RunResult::Stop::kAlbumPage, "无法获取相册页面：" + address + "\n" + error);
    return std::nullopt;
  }

  // Adds the page's photos; returns the rest of the page, where its next link stands.
  std::string_view Collect(std::string_view page) {
    return ScanPhotos(page, [this](std::string address) {
      if (photos.size() >= settings.max_photos) {
        result.truncated = true;
        return;
      }
      photos.push_back(std::move(address));
    });
  }

  bool ScanAlbum() {
    std::optional<std::string> page = FetchPage(std::nullopt);
    if (!page) return false;
    std::string_view rest = Collect(*page);
    if (!job.smart) return true;
    std::set<std::string> visited;
    for (int pages = 1; pages < kMaxAlbumPages && !result.truncated; ++pages) {
      std::optional<std::string> next = NextPageAddress(rest);
      // A page that links back to one already read would never end the walk.
      if (!next || !visited.insert(*next).second) break;
      page = FetchPage(next);
      if (!page) return false;
      rest = Collect(*page);
    }
    return true;
  }

  // Saves photo `index` into the folder the job names as it starts; false ends the run (a file
  // that cannot be made, a disk nearly full, or a stop).
  bool SavePhoto(uint32_t& stamp, size_t index) {
    const std::string folder = job.SaveFolderNow();
    if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
      EndRun(RunResult::Stop::kFile, *low);
      return false;
    }
    std::string path = PhotoFileName(folder, stamp, index);
    std::optional<net::FileStream> file;
    try {
      try {
        file.emplace(path);
      } catch (const net::FileNameTaken&) {
        // An earlier run's photo has the name (the folder box changed, or it appeared since the
        // run began): this photo and the ones after it move to a stamp that is free.
        stamp = FreeStamp(folder, stamp + 1);
        path = PhotoFileName(folder, stamp, index);
        file.emplace(path);
      }
    } catch (const std::exception& error) {
      EndRun(RunResult::Stop::kFile, "无法创建文件：" + CutText(path) + "\n" + ErrorText(error));
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
      if (saved) file->Close();  // only a clean close says the bytes reached the disk
    } catch (const net::FileStreamError& failure) {
      saved = false;
      EndRun(RunResult::Stop::kFile, "无法写入文件：" + CutText(path) + "\n" + failure.Message());
    } catch (const net::ETlsSetupError& failure) {
      EndInsecure(failure);
    }
    file.reset();
    if (!saved) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);  // never leave a partial photo behind
      if (Cancelled() || result.stop != RunResult::Stop::kNone) return false;
      ++result.failed;
    } else {
      ++result.saved;
    }
    events.PhotoDone(static_cast<int>(index + 1), saved ? path : std::string());
    if (saved && preview) preview->Submit(path);
    return true;
  }

  void SavePhotos() {
    // The tick repeats after a reboot: a stamp whose names an earlier run took is passed over.
    uint32_t stamp = FreeStamp(job.SaveFolderNow(), settings.tick());
    for (size_t i = 0; i < photos.size(); ++i) {
      if (Cancelled() || !SavePhoto(stamp, i)) return;
    }
    std::string& message = result.message;
    if (result.failed > 0) message = "有 " + std::to_string(result.failed) + " 张照片未能保存。";
    if (result.truncated) {
      if (!message.empty()) message += "\n";
      message += "相册照片太多，只保存了前 " + std::to_string(photos.size()) + " 张。";
    }
  }

  void Run(std::stop_token run_stop) {
    stop = std::move(run_stop);
    // A stop wakes the fetch under way at once; every later one fails.
    const std::stop_callback abort(stop, [this] { client.Abort(); });
    if (settings.preview)
      preview.emplace([this](RgbImage image) { events.PreviewReady(std::move(image)); });
    if (ScanAlbum()) {
      result.found = static_cast<int>(photos.size());
      events.ScanReported(result.found);
      SavePhotos();
    }
    // The last photo saved is the one left in the preview.
    if (preview && !Cancelled()) preview->Drain();
    preview.reset();
    if (!Cancelled()) events.Finished(result);
  }

  // Nothing more is fetched from a service whose secure connection failed: the message names
  // the address and the reason.
  void EndInsecure(const net::ETlsSetupError& failure) {
    EndRun(RunResult::Stop::kSecure, "无法建立安全连接：" + CutText(client.LastAddress()) + "\n" +
                                         CutText(failure.Message()));
  }

  // What ends the run early; the message box tells it.
  void EndRun(RunResult::Stop why, std::string text) {
    result.stop = why;
    result.message = std::move(text);
  }

  DownloadEvents& events;
  DownloadJob job;
  DownloadSettings& settings;  // the job's
  net::HttpClient client;
  std::optional<PreviewDecoder> preview;
  std::vector<std::string> photos;
  RunResult result;
  std::stop_token stop;
  std::mutex pause_mutex;
  std::condition_variable_any pause_wake;
};

DownloadWorker::DownloadWorker(DownloadEvents& events, DownloadJob job)
    : impl_(std::make_unique<Impl>(events, std::move(job))) {}

DownloadWorker::~DownloadWorker() = default;

void DownloadWorker::Run(std::stop_token stop) { impl_->Run(std::move(stop)); }

}  // namespace tarn
