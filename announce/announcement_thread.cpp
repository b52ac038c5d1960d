// SPDX-License-Identifier: MIT
#include "announce/announcement_thread.h"

#include <utility>

namespace tarn {

AnnouncementThread::AnnouncementThread(std::string address, AnnouncementsReady ready)
    : thread_([this, address = std::move(address), ready = std::move(ready)] {
        FetchAnnouncements(client_, address, stop_, ready);
      }) {}

AnnouncementThread::~AnnouncementThread() {
  stop_ = true;
  // The abort wakes a connect or read under way; every wait of the client is bounded besides.
  client_.Abort();
  thread_.join();
}

}  // namespace tarn
