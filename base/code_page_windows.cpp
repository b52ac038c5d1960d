// SPDX-License-Identifier: MIT
#include <windows.h>

#include <charconv>
#include <cstring>

#include "base/code_page.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

// Room for the longest character of any Windows code page.
constexpr int kMaxBytesPerCharacter = 8;
constexpr char32_t kFirstSupplementary = 0x10000;

// The Windows number of a code page named as iconv names it: "UTF-8", "CP936"; 0 if unknown.
unsigned CodePageNumber(const char* name) {
  if (_stricmp(name, "UTF-8") == 0) return CP_UTF8;
  if (_strnicmp(name, "CP", 2) != 0) return 0;
  const char* digits = name + 2;
  const char* end = digits + std::strlen(digits);
  unsigned number = 0;
  const auto [stop, error] = std::from_chars(digits, end, number);
  if (error != std::errc() || stop != end || !IsValidCodePage(number)) return 0;
  return number;
}

}  // namespace

CodePageConverter::CodePageConverter(const char* code_page)
    : code_page_(CodePageNumber(code_page)) {
  if (code_page_ == 0) throw EIdException(std::string("Unknown code page ") + code_page);
}

CodePageConverter::~CodePageConverter() = default;

void CodePageConverter::Append(char32_t character, std::string& out) {
  wchar_t wide[2];
  int units = 1;
  if (character >= kFirstSupplementary) {
    const char32_t offset = character - kFirstSupplementary;
    wide[0] = static_cast<wchar_t>(0xD800 + (offset >> 10));
    wide[1] = static_cast<wchar_t>(0xDC00 + (offset & 0x3FF));
    units = 2;
  } else {
    wide[0] = static_cast<wchar_t>(character);
  }
  char bytes[kMaxBytesPerCharacter];
  BOOL defaulted = FALSE;
  // UTF-8 refuses a lone surrogate instead of writing a replacement; the others say when they
  // had to fall back, and never pick a look-alike character.
  const bool utf8 = code_page_ == CP_UTF8;
  const int size =
      WideCharToMultiByte(code_page_, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, wide,
                          units, bytes, sizeof bytes, nullptr, utf8 ? nullptr : &defaulted);
  if (size <= 0 || defaulted) {
    out += kDefaultCharacter;
    return;
  }
  out.append(bytes, static_cast<size_t>(size));
}

}  // namespace tarn::net
