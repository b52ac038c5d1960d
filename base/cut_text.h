// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarn {

// Characters of an address or a server's text that a message quotes: enough to recognise it,
// short enough that a hostile 16 KB line cannot swamp the message.
inline constexpr size_t kQuotedTextCharacters = 200;

// The text cut after `characters` UTF-8 characters, with "…" in place of the rest; a shorter
// text stays as it is. A multi-byte character is never split.
std::string CutText(std::string_view text, size_t characters = kQuotedTextCharacters);

// A server's text (or an address it gave) as a message quotes it: cleaned of what steers a
// display (CleanText), then cut like CutText.
std::string QuotedText(std::string_view text, size_t characters = kQuotedTextCharacters);

}  // namespace tarn
