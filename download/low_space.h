// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

// A run ends when the save folder's disk has less than this left: a clear stop beats photos
// failing one by one, and other programs still find room.
inline constexpr uint64_t kMinFreeSpace = 64ull << 20;

// The message that ends the run when the disk of `folder` has less than `minimum` bytes
// left; nothing while there is room or when the folder cannot be asked (creating the photo
// then reports why).
std::optional<std::string> LowSpaceMessage(const std::string& folder,
                                           uint64_t minimum = kMinFreeSpace);

}  // namespace tarn
