// SPDX-License-Identifier: MIT
#include <windows.h>

#include "announce/gb18030.h"
#include "base/utf16.h"

namespace tarn {
namespace {

constexpr UINT kGb18030 = 54936;
// Where code page 54936 is missing (Wine), GBK reads every two-byte character.
constexpr UINT kGbk = 936;

bool Between(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// The length of the GB18030 character at the start of `bytes`, 0 when none begins there.
size_t SequenceLength(std::string_view bytes) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (at(0) < 0x80) return 1;
  if (!Between(at(0), 0x81, 0xFE) || bytes.size() < 2) return 0;
  if (Between(at(1), 0x40, 0x7E) || Between(at(1), 0x80, 0xFE)) return 2;
  if (!Between(at(1), 0x30, 0x39) || bytes.size() < 4) return 0;
  return Between(at(2), 0x81, 0xFE) && Between(at(3), 0x30, 0x39) ? 4 : 0;
}

}  // namespace

std::string Gb18030ToUtf8(std::string_view bytes) {
  // One character at a time, so that each byte that begins none becomes one U+FFFD, as iconv
  // is used elsewhere.
  const UINT code_page = IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
  std::string text;
  while (!bytes.empty()) {
    const size_t length = SequenceLength(bytes);
    wchar_t wide[2];
    const int units = length == 0 || (length == 4 && code_page != kGb18030)
                          ? 0
                          : MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(length), wide, 2);
    if (units <= 0) {
      text += kUtf8Replacement;
      bytes.remove_prefix(1);
      continue;
    }
    text += Utf16ToUtf8(std::wstring_view(wide, static_cast<size_t>(units)));
    bytes.remove_prefix(length);
  }
  return text;
}

}  // namespace tarn
