// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "download/download_events.h"

namespace tarn::testing {

// Records what a worker reports.
class RecordingEvents : public DownloadEvents {
 public:
  void ScanReported(int total) override {
    std::lock_guard lock(mutex_);
    totals.push_back(total);
  }
  void PhotoDone(int done, const std::string& saved_path, bool) override {
    {
      std::lock_guard lock(mutex_);
      done_counts.push_back(done);
      saved_paths.push_back(saved_path);
    }
    if (on_photo_done) on_photo_done(done);
  }
  void PreviewReady(RgbImage image) override {
    std::lock_guard lock(mutex_);
    previews.push_back(std::move(image));
  }
  void Waiting(std::chrono::seconds how_long, const std::string&) override {
    std::lock_guard lock(mutex_);
    waits.push_back(static_cast<int>(how_long.count()));
  }
  void Finished(const RunResult& result) override {
    std::lock_guard lock(mutex_);
    finished.push_back(result.message);
    results.push_back(result);
  }

  std::vector<int> totals;
  std::vector<int> done_counts;
  std::vector<std::string> saved_paths;
  std::vector<RgbImage> previews;
  std::vector<std::string> finished;  // the messages of `results`
  std::vector<RunResult> results;
  std::vector<int> waits;  // the seconds of each wait told
  std::function<void(int)> on_photo_done;

 private:
  std::mutex mutex_;
};

}  // namespace tarn::testing
