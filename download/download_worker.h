// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/download_view.h"
#include "net/http_client.h"

namespace tarn {

// How often a page or a photo is tried, and the pauses before the second, third, ... try.
struct RetryPolicy {
  int attempts = 5;
  std::vector<std::chrono::milliseconds> pauses = {
      std::chrono::milliseconds(200), std::chrono::milliseconds(500),
      std::chrono::milliseconds(1000), std::chrono::milliseconds(2000)};
};

struct DownloadSettings {
  bool smart = false;   // follow the album's next-page links
  bool preview = true;  // decode saved photos for the preview box
  // Most photo addresses one run keeps: far beyond any real album, it bounds what a server's
  // pages can make the worker hold.
  size_t max_photos = 100000;
  RetryPolicy retry;
  net::HttpTimeouts timeouts;
  // The run's stamp in file names: a 32-bit millisecond tick.
  std::function<uint32_t()> tick;
};

// One album download: scan the album page (and in smart mode the pages after it) for photo
// addresses, then save every photo as <folder>/<stamp>_<i>.jpg, one at a time over one HTTP
// client. Runs on the calling thread; the view hears about every step.
class DownloadWorker {
 public:
  DownloadWorker(DownloadView& view, DownloadSettings settings);
  ~DownloadWorker();
  DownloadWorker(const DownloadWorker&) = delete;
  DownloadWorker& operator=(const DownloadWorker&) = delete;

  // The whole run. Keeps PhotoCount up to date and sets it back to 0 at the end.
  void Run();

  // From any thread: stop between steps and break off a fetch under way. The view hears
  // nothing more after Run returns.
  void Cancel();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn
