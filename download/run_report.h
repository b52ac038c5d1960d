// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "download/download_events.h"
#include "download/download_job.h"
#include "download/preview_decoder.h"

namespace tarn {

// What ends a run early, and the words for it.
struct RunEnd {
  RunResult::Stop stop;
  std::string message;
};

// What a run tells: counts, the photos handled one by one, what failed or was left out, the
// preview, and the result at the end. Only the events' thread of the run uses it.
class RunReport {
 public:
  RunReport(DownloadEvents& events, const DownloadJob& job, std::stop_token stop);

  bool Cancelled() const { return stop_.stop_requested(); }
  bool Ended() const { return Cancelled() || result_.stop != RunResult::Stop::kNone; }
  const RunResult& Result() const { return result_; }

  // What ends the run early; the message tells it.
  void End(RunEnd end);
  // A part of the run was not read or saved (a page, an album of a list) for `why`; the photos
  // found are still saved, and the run says what is missing.
  void Gap(std::string why) { gaps_.push_back(std::move(why)); }
  // What the user should know though nothing failed.
  void Note(std::string note) { notes_.push_back(std::move(note)); }
  // The walk kept no more photos than the run may hold.
  void Truncated() { result_.truncated = true; }

  // The scan is over: `found` photos are told.
  void ScanDone(int found);
  // Counts and reports the next photo: saved into `path` (now when `fetched`, else earlier) or,
  // with an empty path, given up on for `why`. False when the run ends here instead.
  bool PhotoHandled(const std::string& path, bool fetched, std::string why = {});
  // The run waits `how_long` before its next request, for `why`.
  void Waiting(std::chrono::seconds how_long, const std::string& why) {
    events_.Waiting(how_long, why);
  }
  // A part of the run is done (one album of a person's): `summary` tells it.
  void Section(const std::string& summary) { events_.SectionDone(summary); }

  // The result's message after the photos: failures, truncation, what was left out.
  void CloseMessage();
  // The run is over: the preview catches up and the front end hears the result.
  void Finish();

 private:
  DownloadEvents& events_;
  std::stop_token stop_;
  std::optional<PreviewDecoder> preview_;
  RunResult result_;
  int handled_ = 0;
  std::vector<std::string> failures_;  // the first few reasons, for the message
  std::vector<std::string> gaps_;
  std::vector<std::string> notes_;
};

}  // namespace tarn
