// SPDX-License-Identifier: MIT
#include <windows.h>

#include <charconv>
#include <cstring>

#include "base/code_page.h"
#include "base/exception.h"
#include "base/utf16.h"

namespace tarn {
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

struct CodePageConverter::Impl {
  unsigned code_page;
};

CodePageConverter::CodePageConverter(const char* code_page)
    : impl_(std::make_unique<Impl>(CodePageNumber(code_page))) {
  if (impl_->code_page == 0) throw Exception(std::string("Unknown code page ") + code_page);
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
  const bool utf8 = impl_->code_page == CP_UTF8;
  const int size =
      WideCharToMultiByte(impl_->code_page, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS,
                          wide, units, bytes, sizeof bytes, nullptr, utf8 ? nullptr : &defaulted);
  if (size <= 0 || defaulted) {
    out += kDefaultCharacter;
    return;
  }
  out.append(bytes, static_cast<size_t>(size));
}

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
