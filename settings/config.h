// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// The announcement feed address: TARN_FEED_URL, else the build default; empty means none.
std::string FeedUrl();

}  // namespace tarn
