// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "download/request_pacer.h"
#include "net/cookie/sign_in.h"
#include "net/http/http_client.h"
#include "settings/user_settings.h"

namespace tarn {

// How often a page or a photo is tried, and the pauses before the second, third, ... try.
struct RetryPolicy {
  int attempts = 5;
  std::vector<std::chrono::milliseconds> pauses = {
      std::chrono::milliseconds(200), std::chrono::milliseconds(500),
      std::chrono::milliseconds(1000), std::chrono::milliseconds(2000)};
};

// How a worker goes about its run; the program keeps the defaults, tests shorten them.
struct DownloadSettings {
  bool preview = true;  // decode saved photos for the preview box
  // Most photo addresses one run keeps: far beyond any real album, it bounds what a server's
  // pages can make the worker hold.
  size_t max_photos = 100000;
  RetryPolicy retry;
  // Retries of today's service back off: trying again at once turns a slow-down into a ban.
  RetryPolicy service_retry{5,
                            {std::chrono::seconds(2), std::chrono::seconds(4),
                             std::chrono::seconds(8), std::chrono::seconds(16)}};
  net::HttpTimeouts timeouts;
  // The run's stamp in file names: a 32-bit millisecond tick.
  std::function<uint32_t()> tick;
};

// What the user gives a run and may change while it goes on: the window lets both boxes be
// edited, and a run follows them (the address at every attempt of the first page, the folder
// when each photo starts).
struct RunInputs {
  std::string address;
  std::string folder;
};

// One download as the front end hands it over after its checks.
struct DownloadJob {
  RunInputs inputs;        // as given
  bool all_pages = false;  // follow the next-page links; else the first page only
  ServiceSettings service;
  DownloadSettings settings;
  // The inputs as they stand now, from any thread; without it `inputs` hold for the whole run.
  std::function<RunInputs()> inputs_now;
  // Spaces the requests to today's service; one pacer for the runs of one process, so that
  // the next run's first request keeps its distance from the last one's. Made when missing.
  std::shared_ptr<RequestPacer> pacer;
  // Spaces the pictures of today's service the same way (its image hosts); made when missing.
  std::shared_ptr<RequestPacer> image_pacer;
  // The user's cookies and the origins they may go to; no cookies: the run is signed out.
  // The run's client takes it once, before its first request.
  net::SignIn sign_in;

  RunInputs Now() const { return inputs_now ? inputs_now() : inputs; }
};

}  // namespace tarn
