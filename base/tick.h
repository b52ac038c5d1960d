// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>

namespace tarn {

// Milliseconds since an arbitrary start, truncated to 32 bits like the system tick count.
inline uint32_t TickCount32() {
  using namespace std::chrono;
  return static_cast<uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace tarn
