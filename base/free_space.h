// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

// Bytes the disk holding `folder` still gives to an ordinary user; nothing when the folder
// cannot be asked (missing, say).
std::optional<uint64_t> FreeSpace(const std::string& folder);

}  // namespace tarn
