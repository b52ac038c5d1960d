// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>

namespace tarn::net {

// Largest photo we save: far beyond any real photo, it keeps a lying server from filling the
// disk.
inline constexpr uint64_t kMaxPhotoBytes = 512ull << 20;
// A transfer must bring at least this many bytes a second, averaged over kRateWindow; a
// server that drips a byte just before each idle timeout would otherwise hold a run forever.
inline constexpr uint64_t kMinBytesPerSecond = 100;
inline constexpr std::chrono::milliseconds kRateWindow{60000};

}  // namespace tarn::net
