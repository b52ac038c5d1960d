// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "download/download_events.h"
#include "download/download_job.h"
#include "download/download_worker.h"

namespace tarn {

// A download worker on a thread of its own. Dropping the task stops the worker and waits for
// its thread, so nothing of it outlives the front end that owns it.
class DownloadTask {
 public:
  DownloadTask(std::unique_ptr<DownloadEvents> events, DownloadJob job);
  DownloadTask(const DownloadTask&) = delete;
  DownloadTask& operator=(const DownloadTask&) = delete;

  // True until the worker's run is over, also while it still fetches its first page.
  bool Running() const { return running_; }

 private:
  std::unique_ptr<DownloadEvents> events_;
  DownloadWorker worker_;
  std::atomic<bool> running_{true};
  std::jthread thread_;  // last: stopped and joined before the rest goes
};

}  // namespace tarn
