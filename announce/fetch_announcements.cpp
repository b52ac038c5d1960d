// SPDX-License-Identifier: MIT
#include "announce/fetch_announcements.h"

#include <exception>
#include <optional>

#include "announce/feed_parser.h"
#include "announce/feed_text.h"

namespace tarn {
namespace {

// The page as text, or nothing when every try failed or a stop came.
std::optional<std::string> FetchPage(net::HttpClient& client, std::string_view address,
                                     const std::stop_token& stop) {
  for (int attempt = 0; attempt < kFeedAttempts && !stop.stop_requested(); ++attempt) {
    try {
      std::string bytes;
      const net::HttpResult answer = client.GetText(address, bytes);
      if (answer.Ok()) return DecodeFeedPage(bytes, answer.content_type);
    } catch (const std::exception&) {
      // A failed try shows nothing; the next one follows at once.
    }
  }
  return std::nullopt;
}

}  // namespace

void FetchAnnouncements(net::HttpClient& client, std::string_view address, std::stop_token stop,
                        const AnnouncementEvents& events) {
  std::optional<std::string> page = FetchPage(client, address, stop);
  if (stop.stop_requested()) return;
  if (!page) {
    events.unreachable();
    return;
  }
  events.ready(ParseAnnouncements(*page));
}

}  // namespace tarn
