// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

#include "download/download_events.h"

namespace tarn::cli {

// How progress is shown: a line redrawn in place on a terminal, plain lines for a pipe or a
// log file, or nothing.
enum class ProgressStyle { kTerminal, kLines, kQuiet };

// One album's progress on standard output; errors go to standard error. Reports come from the
// worker's thread.
class ProgressReport : public DownloadEvents {
 public:
  ProgressReport(ProgressStyle style, std::string label, std::FILE* out, std::FILE* err);

  void ScanReported(int total) override;
  void PhotoDone(int done, const std::string& saved_path, bool fetched) override;
  void SectionDone(const std::string& summary) override;
  void Waiting(std::chrono::seconds how_long, const std::string& why) override;
  void PreviewReady(RgbImage) override {}
  void Finished(const RunResult& result) override;

  // The run's result; empty until Finished (a stopped run never finishes).
  const std::optional<RunResult>& Result() const { return result_; }
  // Photos this run fetched and saved.
  int Saved() const { return saved_ - already_; }
  // Ends a line left open by a redraw, before the caller writes its own.
  void CloseLine();

 private:
  void Redraw();

  const ProgressStyle style_;
  const std::string label_;
  std::FILE* const out_;
  std::FILE* const err_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::mutex mutex_;
  int total_ = 0;
  int done_ = 0;
  int saved_ = 0;        // photos of the album in the folder now
  int already_ = 0;      // of those, the ones an earlier run saved
  std::string waiting_;  // what the run waits for now, until the next photo
  uint64_t bytes_ = 0;
  bool line_open_ = false;
  std::optional<RunResult> result_;
};

// "1.2 MB", "0:23": the pieces of a progress line.
std::string Megabytes(uint64_t bytes);
std::string Duration(std::chrono::seconds seconds);

}  // namespace tarn::cli
