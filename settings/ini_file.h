// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

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
// CR LF for the lines we write. Nothing is cached: each call opens, reads or writes, and closes
// the file.
class IniFile {
 public:
  // Longest value a read returns; the rest is cut off.
  static constexpr size_t kMaxValueLength = 2047;

  explicit IniFile(std::string path) : path_(std::move(path)) {}

  // The key's value, or fallback when the file, the section or the key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;

  // Sets each key of the section to its value, in order, creating the file, the section or
  // the key where missing, in one safe write: the new text goes to a file beside the old one,
  // reaches the disk, and only then takes the old one's place, so a failure or a kill at any
  // moment leaves the old file whole. Throws EIniFileException "Unable to write to <path>"
  // when that cannot be done, or when a value holds a line break (it would read back as two
  // lines); the file then stays as it was.
  void Write(std::string_view section,
             std::initializer_list<std::pair<std::string_view, std::string_view>> values);

 private:
  std::string path_;
};

}  // namespace tarn
