// SPDX-License-Identifier: MIT
#pragma once

#include <stop_token>

#include "download/download_events.h"
#include "download/download_job.h"

namespace tarn {

// One download: the first page chooses the kind of run (an album over plain HTTP, or a page of
// today's service), whose source scans the pages (in smart mode every page) and saves the
// photos, one at a time over one HTTP client. Runs on the calling thread; `events` hears
// about every step.
class DownloadWorker {
 public:
  DownloadWorker(DownloadEvents& events, DownloadJob job);
  DownloadWorker(const DownloadWorker&) = delete;
  DownloadWorker& operator=(const DownloadWorker&) = delete;

  // The whole run. A stop requested on `stop`, from any thread, ends it between steps and
  // breaks off a fetch under way; `events` hears nothing more after that.
  void Run(std::stop_token stop = {});

 private:
  DownloadEvents& events_;
  const DownloadJob job_;
};

}  // namespace tarn
