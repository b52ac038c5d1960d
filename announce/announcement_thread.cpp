// SPDX-License-Identifier: MIT
#include "announce/announcement_thread.h"

#include <utility>

namespace tarn {

AnnouncementThread::AnnouncementThread(std::string address, AnnouncementEvents events,
                                       net::ProxyRules proxy)
    : thread_([this, address = std::move(address), events = std::move(events),
               proxy = std::move(proxy)](std::stop_token stop) mutable {
        // The stop wakes a connect or read under way; every wait of the client is bounded
        // besides.
        const std::stop_callback abort(stop, [this] { client_.Abort(); });
        client_.SetProxy(std::move(proxy));
        FetchAnnouncements(client_, address, stop, events);
      }) {}

}  // namespace tarn
