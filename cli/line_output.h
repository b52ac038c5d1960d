// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdio>
#include <string_view>

namespace tarn::cli {

// Most bytes one write takes: a pipe takes this many whole or none, never part of a line.
inline constexpr size_t kMaxLineBytes = 4096;

// How long an error line may wait for its reader: long enough for a slow one, never for ever.
inline constexpr std::chrono::milliseconds kErrorWait{2000};

// Writes `text` (cut at kMaxLineBytes) to the stream's file when its reader has room within
// `wait`, else drops it: output into a pipe nobody reads must never hold up a run or a signal.
// Bypasses the stream's buffer, so use it for everything written to that stream.
void WriteLine(std::FILE* stream, std::string_view text,
               std::chrono::milliseconds wait = std::chrono::milliseconds(0));

}  // namespace tarn::cli
