// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "base/cut_text.h"
#include "download/download_events.h"
#include "download/download_job.h"
#include "download/folder_lock.h"
#include "download/photo_ladder.h"
#include "download/photo_source.h"
#include "download/preview_decoder.h"
#include "download/run_manners.h"
#include "download/sign_in_check.h"
#include "download/today_scanner.h"
#include "net/stream/file_stream.h"
#include "net/tls/tls_errors.h"

namespace tarn {

// The first page of a run as it came: what chooses the run's kind.
struct FirstPage {
  std::string address;  // as finally asked for: the one given, or its https form
  std::string body;     // the page's bytes
  bool secure = false;  // it came over TLS
};

// What every kind of run shares: the client and its manners, retries and refusals, the walk
// over pages, the photos found, the files, counts, events and the stop.
class RunContext {
 public:
  RunContext(DownloadEvents& events, const DownloadJob& job, std::stop_token stop);
  ~RunContext();

  const DownloadJob& Job() const { return job_; }
  bool Cancelled() const { return stop_.stop_requested(); }
  bool Ended() const { return Cancelled() || result_.stop != RunResult::Stop::kNone; }
  RunResult& Result() { return result_; }

  // The first page, read from the address box at every attempt; an https address, or an http
  // one the server upgrades, makes the run speak as today's service wants from that request
  // on. Nothing when the run ends here.
  std::optional<FirstPage> FetchFirstPage();
  // Walks the pages from the first one through `source` (only the first unless the job asks
  // for all), bounded and never twice to one page. False when the run ended on the way.
  bool Walk(PhotoSource& source, const FirstPage& first);

  // A page of the run's service that the run may do without (a photo's own page): fetched with
  // the run's manners and retries; nothing, with `error`, when it cannot be had. Raises
  // ServiceRefused and SignInNeeded as every fetch does.
  std::optional<std::string> FetchText(const std::string& address, const std::string& referer,
                                       std::string& error);
  // A page the run cannot do without: nothing, with the run ended, when it cannot be had.
  std::optional<std::string> FetchPageText(const std::string& address, const std::string& referer);

  // Adds a photo to the run; false when the run holds as many as it may.
  bool AddPhoto(ListedPhoto photo);
  const std::vector<ListedPhoto>& Photos() const { return photos_; }
  // The walk stopped early for `why`; the photos found are still saved.
  void CutWalk(std::string why) { walk_cut_ = std::move(why); }

  // Runs `fetch(attempt)` with the run's manners until it succeeds, the tries are used up, the
  // run stops, or a failure that another try cannot change. A file failure passes through; a
  // refusal ends the run (raised as ServiceRefused). `status` is the last HTTP status or 0.
  template <class Fetch>
  bool WithRetries(Fetch&& fetch, std::string& error, int* status = nullptr);

  // Sets up the next request: its turn, its heads (`referer` for the service).
  bool BeforeRequest(std::string_view accept, const std::string& referer);
  net::HttpClient& Client() { return client_; }
  RunManners& Manners() { return *manners_; }

  // Saves photo `index` as `<folder>/<stem>.jpg|.webp` through a .part file, trying
  // `attempts` in order (a missing size or format goes on to the next), keeping only a JPEG or
  // WebP; a photo saved by an earlier run counts as done. Sets `name` to the file's name when
  // there is one. False when the run ends here.
  bool SaveNamedPhoto(size_t index, const std::string& folder, const std::string& stem,
                      const std::vector<PhotoAttempt>& attempts, const std::string& referer,
                      std::string& name);
  // Makes sure this run alone saves into `folder`; false (the run ended) when another has it.
  bool HoldFolder(const std::string& folder);

  // Counts and reports photo `index`: saved into `path` (now when `fetched`, else earlier) or,
  // with an empty path, given up on for `why`. False when the run ends here instead.
  bool PhotoHandled(size_t index, const std::string& path, bool fetched, std::string why = {});

  // What ends the run early; the message tells it.
  void EndRun(RunResult::Stop why, std::string text);
  void EndInsecure(const std::exception& failure);

  // The result's message after the photos: failures, truncation, a walk cut short.
  void CloseMessage();
  // A part of the run is done (one album of a person's): `summary` tells it.
  void ReportSection(const std::string& summary) { events_.SectionDone(summary); }
  // The scan is over; the photos found are told.
  void ReportScan();
  // The run is over: the preview catches up and the front end hears the result.
  void Finish();

 private:
  DownloadEvents& events_;
  const DownloadJob& job_;
  std::stop_token stop_;
  net::HttpClient client_;
  std::shared_ptr<RequestPacer> pacer_;
  std::unique_ptr<RunManners> plain_;
  std::unique_ptr<RunManners> service_;
  RunManners* manners_;  // one of the two: the service's once the run speaks to it
  std::optional<PreviewDecoder> preview_;
  std::stop_callback<std::function<void()>> abort_;
  std::vector<ListedPhoto> photos_;
  std::vector<std::string> failures_;  // the first few reasons, for the message
  std::vector<FolderLock> folders_;
  std::string first_address_;  // the Referer of later pages
  std::string walk_cut_;
  bool fetching_raw_ = false;  // the original size is refused to everyone: 403 is no ban
  RunResult result_;
};

// The service shut the run out: nothing more is asked of it.
struct ServiceRefused {
  int status;
};

// The service sent the request to its sign-in page: signed out, or the sign-in has expired.
struct SignInNeeded {};

// The HTTP status of a failure, or 0 when it was no answer.
int HttpStatusOf(const std::exception& failure);

template <class Fetch>
bool RunContext::WithRetries(Fetch&& fetch, std::string& error, int* status) {
  for (int attempt = 1; attempt <= std::max(1, manners_->Retry().attempts); ++attempt) {
    if (attempt > 1) {
      const auto& pauses = manners_->Retry().pauses;
      if (!pauses.empty()) {
        const auto pause =
            pauses[std::min<size_t>(static_cast<size_t>(attempt - 2), pauses.size() - 1)];
        if (!manners_->Sleep(pause, stop_)) return false;
      }
    }
    if (Cancelled()) return false;
    try {
      // The pause before the next request counts from the end of this one, however it ends.
      // Told to the manners the request ended with: the first page may change them.
      const struct Ended {
        RunContext& run;
        ~Ended() { run.manners_->RequestEnded(); }
      } ended{*this};
      fetch(attempt);
      return true;
    } catch (const net::FileStreamError&) {
      throw;
    } catch (const net::ETlsSetupError&) {
      throw;  // a certificate or handshake that failed fails again
    } catch (const std::exception& failure) {
      error = QuotedText(failure.what());
      if (status != nullptr) *status = HttpStatusOf(failure);
      if (const std::optional<int> refusal = manners_->Refusal(failure, fetching_raw_))
        throw ServiceRefused{*refusal};
      if (manners_ == service_.get() && IsSignInRedirect(failure)) throw SignInNeeded{};
      if (!manners_->WorthRetrying(failure)) return false;
    }
  }
  return false;
}

}  // namespace tarn
