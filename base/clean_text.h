// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// UTF-8 with every byte that starts no valid character (a stray continuation byte, an overlong
// or cut-short sequence, a surrogate, a code beyond U+10FFFF) replaced by U+FFFD, one each.
std::string ScrubUtf8(std::string_view text);

// A server's text made safe to show in a terminal, a message box or a line of a file: valid
// UTF-8 (as ScrubUtf8), line breaks and tabs as blanks, and without the characters that steer
// a display (C0 and C1 controls, DEL, line and paragraph separators, bidirectional controls).
std::string CleanText(std::string_view text);

// The same, line by line: line ends (LF or CR LF) stay, so a message keeps its lines.
std::string CleanLines(std::string_view text);

}  // namespace tarn
