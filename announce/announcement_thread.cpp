// SPDX-License-Identifier: MIT
#include "announce/announcement_thread.h"

#include <utility>

namespace tarn {

AnnouncementThread::AnnouncementThread(std::string address, AnnouncementEvents events)
    : thread_(
          [this, address = std::move(address), events = std::move(events)](std::stop_token stop) {
            // The stop wakes a connect or read under way; every wait of the client is bounded
            // besides.
            const std::stop_callback abort(stop, [this] { client_.Abort(); });
            FetchAnnouncements(client_, address, stop, events);
          }) {}

}  // namespace tarn
