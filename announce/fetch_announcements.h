// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "net/http/http_client.h"

namespace tarn {

// Tries at the feed page before the network counts as unreachable: the first and ten more.
inline constexpr int kFeedAttempts = 11;

// What the feed fetch tells its window, on the announcement thread: the complete list, or
// that every try failed (the window then refuses downloads).
struct AnnouncementEvents {
  std::function<void(std::vector<std::string> list)> ready;
  std::function<void()> unreachable;
};

// The announcement thread's work: fetch the feed page, retrying failures at once up to
// kFeedAttempts tries in all, decode it (DecodeFeedPage), parse it and hand the whole list to
// `ready`; when every try fails, call `unreachable`. Once a stop is requested (and the client
// aborted) it gives up without either: the window is going.
void FetchAnnouncements(net::HttpClient& client, std::string_view address, std::stop_token stop,
                        const AnnouncementEvents& events);

}  // namespace tarn
