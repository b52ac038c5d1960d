// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/photo_size.h"

namespace tarn {

// One address to ask for a photo at.
struct PhotoAttempt {
  std::string address;
  std::optional<PhotoSize> size;  // nothing when the address names no size
};

// The addresses to try for a photo a page lists, in order: at the chosen size the .jpg, then
// the listed extension when it is not .jpg; then the next smaller size the same way, down to
// the listed size. A chosen size below the listed one is tried first, then the listed size.
// A list size below "m" ("photo", "s", "sqs") is tried last, after "m".
// An address without a /view/photo/<size>/ segment of a known size is tried as it is.
std::vector<PhotoAttempt> PhotoAttempts(std::string_view listed, PhotoSize chosen);

}  // namespace tarn
