// SPDX-License-Identifier: MIT
#include "announce/fetch_announcements.h"

#include <exception>
#include <optional>

#include "announce/feed_parser.h"
#include "base/shared_flags.h"

namespace tarn {
namespace {

// The page, or nothing when every try failed or a stop came.
std::optional<std::string> FetchPage(net::HttpClient& client, std::string_view address,
                                     const std::atomic<bool>& stop) {
  for (int attempt = 0; attempt < kFeedAttempts && !stop; ++attempt) {
    try {
      return client.FetchText(address);
    } catch (const std::exception&) {
      // A failed try shows nothing; the next one follows at once.
    }
  }
  return std::nullopt;
}

}  // namespace

void FetchAnnouncements(net::HttpClient& client, std::string_view address,
                        const std::atomic<bool>& stop, const AnnouncementsReady& ready) {
  std::optional<std::string> page = FetchPage(client, address, stop);
  if (stop) return;
  if (!page) {
    FeedUnreachable = 1;
    return;
  }
  ready(ParseAnnouncements(*page));
}

}  // namespace tarn
