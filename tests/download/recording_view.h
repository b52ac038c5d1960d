// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "download/download_view.h"

namespace tarn::testing {

// Records what a worker tells the window; answers with an address and a folder that tests may
// change while the worker runs.
class RecordingView : public DownloadView {
 public:
  RecordingView(std::string address, std::string folder)
      : address_(std::move(address)), folder_(std::move(folder)) {}

  std::string AlbumAddress() override {
    std::lock_guard lock(mutex_);
    return address_;
  }
  std::string SaveFolder() override {
    std::lock_guard lock(mutex_);
    return folder_;
  }
  void SetFolder(std::string folder) {
    std::lock_guard lock(mutex_);
    folder_ = std::move(folder);
  }
  void ScanReported(int total) override {
    std::lock_guard lock(mutex_);
    totals.push_back(total);
  }
  void PhotoDone(int done) override {
    {
      std::lock_guard lock(mutex_);
      done_counts.push_back(done);
    }
    if (on_photo_done) on_photo_done(done);
  }
  void ShowPreview(RgbImage image) override {
    std::lock_guard lock(mutex_);
    previews.push_back(std::move(image));
  }
  void Finished(const std::string& message) override {
    std::lock_guard lock(mutex_);
    finished.push_back(message);
  }

  std::vector<int> totals;
  std::vector<int> done_counts;
  std::vector<RgbImage> previews;
  std::vector<std::string> finished;
  std::function<void(int)> on_photo_done;

 private:
  std::mutex mutex_;
  std::string address_;
  std::string folder_;
};

}  // namespace tarn::testing
