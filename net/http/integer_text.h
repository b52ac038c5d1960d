// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarn::net {

// Reads a whole text as a decimal integer with an optional sign; nothing else may stand in
// it. Empty when the text is no integer or does not fit 64 bits.
std::optional<int64_t> ParseInteger(std::string_view text);

// The same, limited to 32 bits (ports and status codes).
std::optional<int32_t> ParseInteger32(std::string_view text);

// Reads a whole text of hexadecimal digits in either letter case. Empty when the text is
// no such number or does not fit 64 bits.
std::optional<uint64_t> ParseHex(std::string_view text);

}  // namespace tarn::net
