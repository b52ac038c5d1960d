// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace tarn::testing {

// A baseline JPEG of the given size: a horizontal red ramp over a vertical green one.
std::vector<uint8_t> EncodeTestJpeg(int width, int height, int quality = 90);

}  // namespace tarn::testing
