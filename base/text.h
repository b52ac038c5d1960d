// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// Removes leading and trailing blanks and control characters (every byte of code 32 or less).
std::string_view Trim(std::string_view text);

// Upper-cases ASCII letters only; other bytes (parts of multi-byte characters) stay.
std::string AsciiUpper(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tarn
