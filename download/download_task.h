// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "download/download_view.h"
#include "download/download_worker.h"

namespace tarn {

// A download worker on a thread of its own. Dropping the task cancels the worker and waits
// for its thread, so nothing of it outlives the window that owns it.
class DownloadTask {
 public:
  DownloadTask(std::unique_ptr<DownloadView> view, DownloadSettings settings);
  ~DownloadTask();
  DownloadTask(const DownloadTask&) = delete;
  DownloadTask& operator=(const DownloadTask&) = delete;

  // True until the worker's run is over, also while it still fetches its first page.
  bool Running() const { return running_; }

 private:
  std::unique_ptr<DownloadView> view_;
  DownloadWorker worker_;
  std::atomic<bool> running_{true};
  std::thread thread_;
};

}  // namespace tarn
