// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/proxy/proxy_rules.h"
#include "service/photo_size.h"

namespace tarn {

// A current desktop browser, as today's service wants to see: it answers other clients 418.
inline constexpr std::string_view kBrowserUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/142.0.0.0 Safari/537.36";

// Between two requests, give or take a quarter: quick requests get a run shut out.
inline constexpr std::chrono::milliseconds kDefaultRequestPause{800};
// Between two pictures: no limit on the image hosts is known, and pictures are most of a run.
inline constexpr std::chrono::milliseconds kDefaultImagePause{250};
// Ten minutes between requests is already no download at all.
inline constexpr std::chrono::milliseconds kMaxRequestPause{600000};
// Real browsers name themselves in under 300 bytes; a longer value is a mistake.
inline constexpr size_t kMaxUserAgentBytes = 512;

// How runs of today's service ask for pages and photos; the user may change each.
struct ServiceSettings {
  PhotoSize photo_size = kDefaultPhotoSize;
  std::chrono::milliseconds pause = kDefaultRequestPause;  // between pages
  std::string user_agent{kBrowserUserAgent};
  std::chrono::milliseconds image_pause = kDefaultImagePause;  // between pictures
  // Every connection's proxy: Config.ini's Proxy when set, else the environment's (taken by
  // the program at start-up), else none; tarn-get's options come first.
  net::ProxyRules proxy;
};

// Each gives nothing for a value that makes no sense, so that the default stays.
// Milliseconds from 0 to kMaxRequestPause, blanks around allowed (both pauses).
std::optional<std::chrono::milliseconds> ParseRequestPause(std::string_view text);
// Printable ASCII and UTF-8 text of at most kMaxUserAgentBytes, blanks around dropped: a
// control character would break the request head.
std::optional<std::string> ParseUserAgent(std::string_view text);

// What the user sets, as Config.ini's [Config] section keeps it.
struct UserSettings {
  std::string folder;
  std::string mode;  // "0" standard (the first page), "1" smart (every page); as written
  ServiceSettings service;
};

// Reads the settings file; a missing file or key reads as empty, and the service keys are optional
// and a value that makes no sense in one of them leaves its default. Without a Proxy key the
// proxy is the `environment`'s.
UserSettings LoadUserSettings(const std::string& file, const net::EnvironmentGetter& environment);
ServiceSettings LoadServiceSettings(const std::string& file,
                                    const net::EnvironmentGetter& environment);
// Writes the folder and the mode in one write; the service keys are never written.
void SaveUserSettings(const std::string& file, const std::string& folder, int mode);

}  // namespace tarn
