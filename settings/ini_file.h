// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/exception.h"

namespace tarn {

class EIniFileException : public Exception {
 public:
  using Exception::Exception;
};

// The key's value in the section of INI text (cut at IniFile::kMaxValueLength), or nothing
// when the section or the key is missing.
std::optional<std::string> ReadIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// The INI text with the key set to value: the section or the key created where missing, the
// value replaced in place otherwise; every other line stays byte for byte.
std::string WriteIniValue(std::string text, std::string_view section, std::string_view key,
                          std::string_view value);

// A private-profile (INI) file: section and key names compared ignoring letter case, values
// replaced in place, new keys appended to their section, every other line kept byte for byte,
// CR LF for the lines we write. Nothing is cached: each call opens, reads or rewrites, and
// closes the file, so a write is on disk when it returns.
class IniFile {
 public:
  // Longest value a read returns; the rest is cut off.
  static constexpr size_t kMaxValueLength = 2047;

  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The key's value, or fallback when the file, the section or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;

  // Creates the file, the section or the key where missing. Throws EIniFileException
  // "Unable to write to <path>" when the file cannot be read back or written.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  std::string path_;
};

}  // namespace tarn
