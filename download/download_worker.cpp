// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>

#include "base/cut_text.h"
#include "base/text.h"
#include "base/tick.h"
#include "download/album_facts.h"
#include "download/album_scanner.h"
#include "download/album_text.h"
#include "download/browser_manners.h"
#include "download/low_space.h"
#include "download/photo_name.h"
#include "download/photo_part_file.h"
#include "download/preview_decoder.h"
#include "download/request_pacer.h"
#include "download/service_refusal.h"
#include "download/stamped_names.h"
#include "download/today_scanner.h"
#include "net/file_stream.h"
#include "net/http_errors.h"
#include "net/retry_rule.h"
#include "net/tls_errors.h"

namespace tarn {
namespace {

// A walk that keeps finding new pages is a server's loop, not an album.
constexpr int kMaxAlbumPages = 2000;

// A server's text in a message is cut short: it may be as long as the server likes.
std::string ErrorText(const std::exception& error) { return CutText(error.what()); }

constexpr int kNotFound = 404;
constexpr int kForbidden = 403;

bool IsHttps(std::string_view address) {
  return address.size() >= 8 && EqualsIgnoringAsciiCase(address.substr(0, 8), "https://");
}

// "https://host[:port]/" of an address: the Referer of the first page, as after a visit to the
// service's home page.
std::string SiteRoot(std::string_view address) {
  const size_t host = address.find("://");
  const size_t path = address.find('/', host == std::string_view::npos ? 0 : host + 3);
  return std::string(address.substr(0, path)) + "/";
}

// The service shut the run out: nothing more is asked of it.
struct ServiceRefused {
  int status;
};

// The HTTP status of a failure, or 0 when it was no answer.
int StatusOf(const std::exception& failure) {
  const auto* answer = dynamic_cast<const net::EIdHTTPProtocolException*>(&failure);
  return answer != nullptr ? answer->ErrorCode() : 0;
}

}  // namespace

struct DownloadWorker::Impl {
  Impl(DownloadEvents& events, DownloadJob job)
      : events(events),
        job(std::move(job)),
        settings(this->job.settings),
        client(settings.timeouts) {
    if (!settings.tick) settings.tick = TickCount32;
    client.SetSignIn(this->job.sign_in);
  }

  bool Cancelled() const { return stop.stop_requested(); }

  const RetryPolicy& Retry() const { return today ? settings.service_retry : settings.retry; }

  // Waits before attempt `attempt` (2, 3, ...); false when cancelled meanwhile.
  bool PauseBefore(int attempt) {
    const auto& pauses = Retry().pauses;
    if (pauses.empty()) return !Cancelled();
    const auto pause =
        pauses[std::min<size_t>(static_cast<size_t>(attempt - 2), pauses.size() - 1)];
    return pacer.Sleep(pause, stop);
  }

  // Runs `fetch(attempt)` until it succeeds, the attempts are used up or the run is cancelled.
  // A failed file write is no network trouble and ends the run; a failure that another try
  // would only repeat (a 404, an address that cannot be sent) is not tried again; a refusal of
  // today's service ends the run. `status` is the last failure's HTTP status, or 0.
  template <class Fetch>
  bool WithRetries(Fetch&& fetch, std::string& error, int* status = nullptr) {
    for (int attempt = 1; attempt <= std::max(1, Retry().attempts); ++attempt) {
      if (attempt > 1 && !PauseBefore(attempt)) return false;
      if (Cancelled()) return false;
      try {
        // The pause before the next request counts from the end of this one, however it ends.
        const struct Ended {
          Impl& impl;
          ~Ended() {
            if (impl.today) impl.pacer.RequestEnded();
          }
        } ended{*this};
        fetch(attempt);
        return true;
      } catch (const net::FileStreamError&) {
        throw;
      } catch (const net::ETlsSetupError&) {
        throw;  // a certificate or handshake that failed fails again
      } catch (const std::exception& failure) {
        error = ErrorText(failure);
        if (status != nullptr) *status = StatusOf(failure);
        if (today) {
          if (const std::optional<int> refusal = ServiceRefusal(failure, fetching_raw))
            throw ServiceRefused{*refusal};
        }
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
            // The first page's address is read afresh at every attempt; an https one makes the
            // run one of today's service from its first request on.
            address = fixed_address ? *fixed_address : job.FirstPageNow();
            if (!fixed_address) today = IsHttps(address);
            BeforeRequest(kPageAccept, fixed_address ? album_address : SiteRoot(address));
            page = net::HttpClient::Utf8ToAnsi(client.FetchText(address));
          },
          error);
    } catch (const net::ETlsSetupError& failure) {
      EndInsecure(failure);
      return std::nullopt;
    }
    if (!ok) {
      if (!Cancelled())
        EndRun(RunResult::Stop::kAlbumPage, "无法获取相册页面：" + CutText(address) + "\n" + error);
      return std::nullopt;
    }
    if (!fixed_address) {
      // Photos may come from the loopback or a private network only when the album does.
      client.AllowPrivateHosts(client.LastHostWasPrivate());
      // A first page upgraded to https makes the run one of today's service too.
      today = client.LastFetchWasTls();
      album_address = client.LastAddress();
      if (today) facts = ReadAlbumFacts(page);
    }
    if (today && AlbumIsNotPublic(page)) {
      EndRun(RunResult::Stop::kNotPublic,
             "这个相册没有公开（只有主人或好友能看），无法下载：" + CutText(address));
      return std::nullopt;
    }
    return page;
  }

  // Adds the page's photos; returns the rest of the page, where its next link stands.
  std::string_view Collect(std::string_view page) {
    if (today) {
      return ScanTodayPhotos(page, [this](ListedPhoto photo) {
        if (Keep()) {
          photos.push_back(std::move(photo.address));
          captions.push_back(std::move(photo.caption));
        }
      });
    }
    return ScanPhotos(page, [this](std::string address) {
      if (Keep()) photos.push_back(std::move(address));
    });
  }

  // Whether one more photo fits the run.
  bool Keep() {
    if (photos.size() < settings.max_photos) return true;
    result.truncated = true;
    return false;
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
    const std::string folder = job.FolderNow();
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
    }
    return PhotoHandled(index, saved ? path : std::string());
  }

  // Counts and reports photo `index`, saved into `saved_path` or (empty) given up on; false
  // when the run ends here instead (a stop, or a failure that ends the run).
  bool PhotoHandled(size_t index, const std::string& saved_path) {
    if (saved_path.empty()) {
      if (Cancelled() || result.stop != RunResult::Stop::kNone) return false;
      ++result.failed;
    } else {
      ++result.saved;
    }
    events.PhotoDone(static_cast<int>(index + 1), saved_path);
    if (!saved_path.empty() && preview) preview->Submit(saved_path);
    return true;
  }

  // Asks for what today's service wants to see: a browser, and where the request comes from.
  void BeforeRequest(std::string_view accept, const std::string& referer) {
    if (!today) {
      client.SetBrowserHeaders(std::nullopt);
      return;
    }
    pacer.WaitTurn(stop);  // a stop aborts the client: the fetch fails at once
    client.SetBrowserHeaders(net::BrowserHeaders{job.service.user_agent, std::string(accept),
                                                 std::string(kAcceptLanguage), referer});
  }

  // The album's text file, with the names the photos have (or will have) in `folder`.
  void WriteAlbumFile(const std::string& folder, const std::vector<std::string>& names) {
    std::vector<AlbumTextEntry> entries;
    entries.reserve(photos.size());
    for (size_t i = 0; i < photos.size(); ++i) entries.push_back({names[i], captions[i]});
    WriteAlbumText(folder, album_address, facts, entries);
  }

  // Saves photo `index` of today's service as <stem>.jpg or .webp, from the largest size asked
  // for down to the listed one; a photo saved by an earlier run counts as done.
  bool SaveTodayPhoto(size_t index) {
    const std::string folder = job.FolderNow();
    const std::string stem = PhotoFileStem(photos[index], index);
    if (const std::optional<std::string> earlier = SavedPhotoPath(folder, stem)) {
      names[index] = std::filesystem::path(*earlier).filename().string();
      ++result.saved;
      events.PhotoDone(static_cast<int>(index + 1), *earlier);
      return true;
    }
    if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
      EndRun(RunResult::Stop::kFile, *low);
      return false;
    }
    std::string saved_path;
    try {
      PhotoPartFile part(folder, stem);
      for (const PhotoAttempt& attempt : PhotoAttempts(photos[index], job.service.photo_size)) {
        fetching_raw = attempt.size == PhotoSize::kRaw;
        std::string error;
        int status = 0;
        const bool fetched = WithRetries(
            [&](int) {
              part.Stream().Rewind();  // no bytes of an earlier attempt stay
              BeforeRequest(kImageAccept, album_address);
              client.FetchToStream(attempt.address, part.Stream());
            },
            error, &status);
        if (fetched) {
          saved_path = part.Commit().path;
          break;
        }
        // Only a size or format the service lacks sends the photo down the ladder.
        if (status != kNotFound && !(status == kForbidden && fetching_raw)) break;
      }
    } catch (const net::FileStreamError& failure) {
      EndRun(RunResult::Stop::kFile,
             "无法保存照片：" + CutText(folder + "/" + stem) + "\n" + CutText(failure.Message()));
    } catch (const net::ETlsSetupError& failure) {
      EndInsecure(failure);
    }
    if (!saved_path.empty()) names[index] = std::filesystem::path(saved_path).filename().string();
    return PhotoHandled(index, saved_path);
  }

  void SaveTodayPhotos() {
    const std::string folder = job.FolderNow();
    names.resize(photos.size());
    for (size_t i = 0; i < photos.size(); ++i) {
      const std::string stem = PhotoFileStem(photos[i], i);
      const std::optional<std::string> earlier = SavedPhotoPath(folder, stem);
      names[i] = earlier ? std::filesystem::path(*earlier).filename().string() : stem + ".jpg";
    }
    try {
      WriteAlbumFile(folder, names);
      for (size_t i = 0; i < photos.size(); ++i) {
        if (Cancelled() || !SaveTodayPhoto(i)) break;
      }
      // Again with the names the photos took (a WebP-only photo is .webp).
      if (!Cancelled()) WriteAlbumFile(folder, names);
    } catch (const net::FileStreamError& failure) {
      EndRun(RunResult::Stop::kFile, CutText(failure.Message()));
    }
  }

  void SavePhotos() {
    if (today) {
      SaveTodayPhotos();
      if (Cancelled() || result.stop != RunResult::Stop::kNone) return;
    } else {
      // The tick repeats after a reboot: a stamp whose names an earlier run took is passed over.
      uint32_t stamp = FreeStamp(job.FolderNow(), settings.tick());
      for (size_t i = 0; i < photos.size(); ++i) {
        if (Cancelled() || !SavePhoto(stamp, i)) return;
      }
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
    try {
      if (ScanAlbum()) {
        result.found = static_cast<int>(photos.size());
        events.ScanReported(result.found);
        if (today && photos.empty()) {
          EndRun(RunResult::Stop::kAlbumPage, "相册页面上没有找到照片：" + CutText(album_address));
        } else {
          SavePhotos();
        }
      }
    } catch (const ServiceRefused& refusal) {
      EndRun(RunResult::Stop::kRefused, RefusalMessage(refusal.status, result.saved));
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

  // Today's service: set once the first page's address (or its upgrade) says https.
  bool today = false;
  std::string album_address;  // the first page as fetched: the Referer of later requests
  // Spaces the requests of today's runs, and waits out the retry pauses of every run.
  RequestPacer pacer{job.service.pause, std::random_device{}()};
  AlbumFacts facts;
  std::vector<std::string> captions;  // beside `photos`
  std::vector<std::string> names;     // the file each photo has or will have
  bool fetching_raw = false;          // the original size is refused to everyone: 403 is no ban
  std::stop_token stop;
};

DownloadWorker::DownloadWorker(DownloadEvents& events, DownloadJob job)
    : impl_(std::make_unique<Impl>(events, std::move(job))) {}

DownloadWorker::~DownloadWorker() = default;

void DownloadWorker::Run(std::stop_token stop) { impl_->Run(std::move(stop)); }

}  // namespace tarn
