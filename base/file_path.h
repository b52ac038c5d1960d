// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarn {

// Paths are UTF-8 bytes inside the program. A std::filesystem::path made from a plain string
// would read them in the system's 8-bit code page on Windows; these keep them UTF-8 there and
// leave the bytes as they are elsewhere.
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// The system's own delimiter between folders and names ("\\" on Windows).
inline constexpr char kPathDelimiter =
    static_cast<char>(std::filesystem::path::preferred_separator);

// `name` in `folder`, joined by kPathDelimiter.
inline std::string FileInFolder(std::string_view folder, std::string_view name) {
  return std::string(folder).append(1, kPathDelimiter).append(name);
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace tarn
