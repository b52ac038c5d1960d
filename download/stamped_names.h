// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

// <folder>/<stamp>_<index>.jpg: the file of photo `index` (counted from 0) of a run.
std::string PhotoFileName(std::string_view folder, uint32_t stamp, size_t index);

// The first stamp from `wanted` on (wrapping past the largest) that no name in the folder
// starts with ("<stamp>_"), so that a run never meets the photos of an earlier one; the
// tick count a stamp comes from repeats after every reboot. `wanted` itself when the folder
// cannot be read: creating the first photo then reports why.
uint32_t FreeStamp(const std::string& folder, uint32_t wanted);

}  // namespace tarn
