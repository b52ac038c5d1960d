// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "download/photo_ladder.h"
#include "net/http_client.h"
#include "net/sign_in.h"

namespace tarn {

// How often a page or a photo is tried, and the pauses before the second, third, ... try.
struct RetryPolicy {
  int attempts = 5;
  std::vector<std::chrono::milliseconds> pauses = {
      std::chrono::milliseconds(200), std::chrono::milliseconds(500),
      std::chrono::milliseconds(1000), std::chrono::milliseconds(2000)};
};

// A current desktop browser, as today's service wants to see: it answers other clients 418.
inline constexpr std::string_view kBrowserUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/142.0.0.0 Safari/537.36";

// How a run over HTTPS (today's service) asks for photos; the user may change each.
struct ServiceSettings {
  PhotoSize photo_size = kDefaultPhotoSize;
  // Between two requests, give or take a quarter: quick requests get a run shut out.
  std::chrono::milliseconds pause{800};
  std::string user_agent{kBrowserUserAgent};
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

// One download as the front end hands it over after its checks.
struct DownloadJob {
  std::string album_address;
  std::string save_folder;
  bool smart = false;  // follow the album's next-page links
  ServiceSettings service;
  DownloadSettings settings;
  // The user's cookies and the origins they may go to; no cookies: the run is signed out.
  // The run's client takes it once, before its first request.
  net::SignIn sign_in;

  // The window lets the user edit both boxes while a run goes on, and a run follows them: the
  // first page's address is read at every attempt, the folder when each photo starts. Without
  // these the values above hold for the whole run.
  std::function<std::string()> current_album_address;
  std::function<std::string()> current_save_folder;

  std::string FirstPageNow() const {
    return current_album_address ? current_album_address() : album_address;
  }
  std::string FolderNow() const {
    return current_save_folder ? current_save_folder() : save_folder;
  }
};

}  // namespace tarn
