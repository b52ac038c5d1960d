// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn::net {

// The character fallback every code page conversion uses for a character it cannot write.
inline constexpr char kDefaultCharacter = '?';

// Writes characters in one code page, named the way iconv names it ("CP936", "UTF-8"): iconv
// on POSIX systems, the system's own conversion on Windows.
class CodePageConverter {
 public:
  // Fails with EIdException for a code page the system does not know.
  explicit CodePageConverter(const char* code_page);
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  // Appends one character in the code page, or kDefaultCharacter when it has none.
  void Append(char32_t character, std::string& out);

 private:
#ifdef _WIN32
  unsigned code_page_;
#else
  void* handle_;  // an iconv_t
#endif
};

}  // namespace tarn::net
