// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstdint>

namespace tarn {

// Photo addresses collected by the running download; non-zero means a download is running.
inline std::atomic<int32_t> PhotoCount{0};

// 1 once the announcement feed could not be fetched: downloads are then refused.
inline std::atomic<int32_t> FeedUnreachable{0};

}  // namespace tarn
