// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_client.h"

namespace tarn {

// Tries at the feed page before the network counts as unreachable: the first and ten more.
inline constexpr int kFeedAttempts = 11;

// Receives the complete announcement list, on the announcement thread.
using AnnouncementsReady = std::function<void(std::vector<std::string> list)>;

// The announcement thread's work: fetch the feed page, retrying failures at once up to
// kFeedAttempts tries in all, parse it and hand the whole list to `ready`. When every try
// fails, FeedUnreachable becomes 1 and `ready` is not called. Once `stop` is set (and the
// client aborted) it gives up without either: the window is going.
void FetchAnnouncements(net::HttpClient& client, std::string_view address,
                        const std::atomic<bool>& stop, const AnnouncementsReady& ready);

}  // namespace tarn
