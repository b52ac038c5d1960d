// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

// What a message box shows at most, so that it always fits a small screen with its button:
// a server's 16 KB status line once made a box 2049 px high.
inline constexpr size_t kMaxBoxLines = 20;
inline constexpr size_t kMaxBoxLineCharacters = 300;
inline constexpr size_t kMaxBoxCharacters = 1200;
// Longest run of characters without a break opportunity: a long address would otherwise
// widen the box past a small screen.
inline constexpr size_t kMaxUnbrokenRun = 40;

// The text a message box shows: cleaned line by line (CleanLines), at most kMaxBoxLines lines of at
// most kMaxBoxLineCharacters characters, kMaxBoxCharacters in all, each cut marked by "…", and an
// invisible break opportunity (a zero-width space) after every kMaxUnbrokenRun characters without a
// blank. Line ends (LF or CR LF) stay.
std::string BoxText(std::string_view text);

}  // namespace tarn
