// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "announce/fetch_announcements.h"
#include "net/http_client.h"

namespace tarn {

// The announcement thread: runs FetchAnnouncements once, at once, on a thread of its own.
// Destroying it breaks off a fetch under way and waits for the thread, so `ready` is never
// called after the destructor has returned.
class AnnouncementThread {
 public:
  // Throws std::system_error when no thread can be started.
  AnnouncementThread(std::string address, AnnouncementsReady ready);
  ~AnnouncementThread();
  AnnouncementThread(const AnnouncementThread&) = delete;
  AnnouncementThread& operator=(const AnnouncementThread&) = delete;

 private:
  std::atomic<bool> stop_{false};
  // Owned here rather than by the thread so that the destructor can abort it.
  net::HttpClient client_;
  std::thread thread_;
};

}  // namespace tarn
