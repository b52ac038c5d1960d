// SPDX-License-Identifier: MIT
#include "net/http/utf8_to_ansi.h"

#include <optional>

#include "base/code_page.h"

namespace tarn::net {
namespace {

constexpr char32_t kFirstSupplementary = 0x10000;
constexpr char32_t kLastCodePoint = 0x10FFFF;

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

// A well-formed four-byte sequence at `at`: one character beyond 16 bits.
std::optional<char32_t> FourByteCharacter(std::string_view utf8, size_t at) {
  const auto lead = static_cast<unsigned char>(utf8[at]);
  if (lead < 0xF0 || lead > 0xF4 || at + 3 >= utf8.size()) return std::nullopt;
  char32_t value = lead & 0x07;
  for (size_t i = 1; i <= 3; ++i) {
    const auto byte = static_cast<unsigned char>(utf8[at + i]);
    if (!IsContinuation(byte)) return std::nullopt;
    value = (value << 6) | (byte & 0x3F);
  }
  if (value < kFirstSupplementary || value > kLastCodePoint) return std::nullopt;
  return value;
}

// Decodes leniently: any byte of 0x80 or more leads a sequence whose length its bit 0x20
// decides, and only the continuation bytes are checked. Empty on a malformed sequence.
std::optional<std::u32string> Decode(std::string_view utf8) {
  std::u32string characters;
  characters.reserve(utf8.size());
  size_t at = 0;
  while (at < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead < 0x80) {
      characters += lead;
      ++at;
      continue;
    }
    if (const std::optional<char32_t> wide = FourByteCharacter(utf8, at)) {
      characters += *wide;
      at += 4;
      continue;
    }
    const size_t continuations = (lead & 0x20) ? 2 : 1;
    if (at + continuations >= utf8.size()) return std::nullopt;
    char32_t value = continuations == 2 ? (lead & 0x0F) : (lead & 0x3F);
    for (size_t i = 1; i <= continuations; ++i) {
      const auto byte = static_cast<unsigned char>(utf8[at + i]);
      if (!IsContinuation(byte)) return std::nullopt;
      value = (value << 6) | (byte & 0x3F);
    }
    characters += value;
    at += continuations + 1;
  }
  return characters;
}

}  // namespace

std::string Utf8ToCodePage(std::string_view utf8, const char* code_page) {
  const std::optional<std::u32string> characters = Decode(utf8);
  if (!characters) return {};
  CodePageConverter converter(code_page);
  std::string out;
  out.reserve(utf8.size());
  for (const char32_t character : *characters) {
    if (character < 0x80) {
      out += static_cast<char>(character);  // ASCII is the same in every code page we use
    } else {
      converter.Append(character, out);
    }
  }
  return out;
}

}  // namespace tarn::net
