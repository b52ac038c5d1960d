// SPDX-License-Identifier: MIT
// Fetched pages converted to the program's 8-bit encoding (UTF-8) and to code page 936. The
// result is valid UTF-8 or empty; well-formed UTF-8 comes back unchanged; both code pages
// agree on which pages are malformed.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/http/utf8_to_ansi.h"

namespace tarn::net {
namespace {

using fuzz::Check;

// Well-formed UTF-8: shortest forms only, no surrogates, nothing beyond U+10FFFF.
bool IsStrictUtf8(std::string_view text) {
  size_t at = 0;
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
      ++at;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (at + length > text.size()) return false;
    for (size_t i = 1; i < length; ++i) {
      const auto byte = static_cast<unsigned char>(text[at + i]);
      if ((byte & 0xC0) != 0x80) return false;
      value = (value << 6) | (byte & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    at += length;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace
}  // namespace tarn::net

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn::net;
  using tarn::fuzz::Check;
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::string ansi = Utf8ToCodePage(page, kAnsiCodePage);
  Check(ansi.empty() || IsStrictUtf8(ansi), "the result is valid UTF-8 or empty");
  if (IsAscii(page)) Check(ansi == page, "ASCII passes unchanged");
  if (IsStrictUtf8(page)) Check(ansi == page, "well-formed UTF-8 passes unchanged");
  const std::string gbk = Utf8ToCodePage(page, "CP936");
  Check(gbk.empty() == ansi.empty(), "both code pages refuse the same pages");
  return 0;
}
