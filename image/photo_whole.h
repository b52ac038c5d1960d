// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <istream>
#include <string_view>

namespace tarn {

// Whether a JPEG's bytes run from its start marker through its segments and scans to the end
// marker: a photo cut short (or three bytes that only start like one) has none. What follows
// the end marker (a camera's trailer) does not count.
bool JpegIsWhole(std::istream& bytes);

// Whether a WebP of `size` bytes holds the whole RIFF its first bytes announce.
bool WebpIsWhole(std::string_view first_bytes, uint64_t size);

}  // namespace tarn
