// SPDX-License-Identifier: MIT
#include "base/clean_text.h"

#include <cstdint>

namespace tarn {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the valid character at `at`, or 0.
size_t ValidLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(at + i) & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

// The code point of a valid character.
uint32_t CodeOf(std::string_view character) {
  if (character.size() == 1) return static_cast<uint8_t>(character[0]);
  uint32_t code = static_cast<uint8_t>(character[0]) & (0xFF >> (character.size() + 1));
  for (size_t i = 1; i < character.size(); ++i)
    code = code << 6 | (static_cast<uint8_t>(character[i]) & 0x3F);
  return code;
}

bool SteersDisplay(uint32_t code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) ||
         code == 0x200E || code == 0x200F || code == 0x061C;
}

template <class Take>
void EachCharacter(std::string_view text, Take&& take) {
  for (size_t at = 0; at < text.size();) {
    const size_t length = ValidLength(text, at);
    take(length == 0 ? kReplacement : text.substr(at, length));
    at += length == 0 ? 1 : length;
  }
}

}  // namespace

std::string ScrubUtf8(std::string_view text) {
  std::string scrubbed;
  scrubbed.reserve(text.size());
  EachCharacter(text, [&](std::string_view character) { scrubbed += character; });
  return scrubbed;
}

std::string CleanText(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  EachCharacter(text, [&](std::string_view character) {
    const uint32_t code = CodeOf(character);
    if (code == '\n' || code == '\r' || code == '\t') {
      clean += ' ';
    } else if (!SteersDisplay(code)) {
      clean += character;
    }
  });
  return clean;
}

std::string CleanLines(std::string_view text) {
  std::string clean;
  while (true) {
    const size_t feed = text.find('\n');
    std::string_view line = text.substr(0, feed);
    const bool carriage_return = line.ends_with('\r');
    if (carriage_return) line.remove_suffix(1);
    clean += CleanText(line);
    if (feed == std::string_view::npos) return clean;
    clean += carriage_return ? "\r\n" : "\n";
    text.remove_prefix(feed + 1);
  }
}

}  // namespace tarn
