// SPDX-License-Identifier: MIT
#include "settings/config.h"

#include <cstdlib>

namespace tarn {

std::string FeedUrl() {
  const char* value = std::getenv("TARN_FEED_URL");
  return value != nullptr ? value : TARN_DEFAULT_FEED_URL;
}

}  // namespace tarn
