// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <thread>

#include "announce/fetch_announcements.h"
#include "net/http/http_client.h"

namespace tarn {

// The announcement thread: runs FetchAnnouncements once, at once, on a thread of its own.
// Destroying it breaks off a fetch under way and waits for the thread, so neither event is
// called after the destructor has returned.
class AnnouncementThread {
 public:
  // Throws std::system_error when no thread can be started. The feed is read through `proxy`.
  AnnouncementThread(std::string address, AnnouncementEvents events, net::ProxyRules proxy);
  AnnouncementThread(const AnnouncementThread&) = delete;
  AnnouncementThread& operator=(const AnnouncementThread&) = delete;

 private:
  // Owned here rather than by the thread, and declared first, so that it outlives the thread.
  net::HttpClient client_;
  std::jthread thread_;
};

}  // namespace tarn
