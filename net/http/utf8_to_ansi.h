// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn::net {

// The program's 8-bit text encoding (its "ANSI code page"): UTF-8, whatever the locale says.
inline constexpr const char* kAnsiCodePage = "UTF-8";

// Converts fetched UTF-8 bytes to a code page known to iconv (for example "CP936"). Any
// malformed sequence makes the whole result empty; a character the code page lacks becomes
// "?". A byte-order mark is converted like any other character.
std::string Utf8ToCodePage(std::string_view utf8, const char* code_page);

}  // namespace tarn::net
