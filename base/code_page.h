// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tarn {

// The character fallback every code page conversion uses for a character it cannot write.
inline constexpr char kDefaultCharacter = '?';
inline constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";  // U+FFFD

// Code pages through the system's own conversions: iconv on POSIX systems, the Windows code
// page functions on Windows.

// Writes characters in one code page, named the way iconv names it ("CP936", "UTF-8").
class CodePageConverter {
 public:
  // Fails with Exception for a code page the system does not know.
  explicit CodePageConverter(const char* code_page);
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  // Appends one character in the code page, or kDefaultCharacter when it has none.
  void Append(char32_t character, std::string& out);

 private:
  // The system's converter, defined in code_page_posix.cpp or code_page_windows.cpp.
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// GB18030 text (which GBK and GB2312 pages are too) in UTF-8; a byte that begins no character
// becomes U+FFFD. Where the system has no GB18030 (Wine), GBK reads the two-byte characters.
std::string Gb18030ToUtf8(std::string_view bytes);

}  // namespace tarn
