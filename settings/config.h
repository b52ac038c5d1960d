// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// The photo service's host (may carry ":port"): TARN_PHOTO_HOST, else the build default.
std::string PhotoHost();

// The announcement feed address: TARN_FEED_URL, else the build default; empty means none.
std::string FeedUrl();

// "http://" + host + "/photos/": an album address must contain this.
std::string PhotoPrefix();

// The sample album address shown in the address box at start.
std::string SampleAlbumAddress();

}  // namespace tarn
