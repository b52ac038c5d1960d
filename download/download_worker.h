// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <stop_token>

#include "download/download_events.h"
#include "download/download_job.h"

namespace tarn {

// One album download: scan the album page (and in smart mode the pages after it) for photo
// addresses, then save every photo as <folder>/<stamp>_<i>.jpg, one at a time over one HTTP
// client. Runs on the calling thread; `events` hears about every step.
class DownloadWorker {
 public:
  DownloadWorker(DownloadEvents& events, DownloadJob job);
  ~DownloadWorker();
  DownloadWorker(const DownloadWorker&) = delete;
  DownloadWorker& operator=(const DownloadWorker&) = delete;

  // The whole run. A stop requested on `stop`, from any thread, ends it between steps and
  // breaks off a fetch under way; `events` hears nothing more after that.
  void Run(std::stop_token stop = {});

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn
