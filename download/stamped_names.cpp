// SPDX-License-Identifier: MIT
#include "download/stamped_names.h"

#include <charconv>
#include <filesystem>
#include <unordered_set>

#include "base/file_path.h"

namespace tarn {
namespace {

// The stamp a file name starts with, when it starts with digits and "_".
bool StampOf(std::string_view name, uint32_t& stamp) {
  const size_t underscore = name.find('_');
  if (underscore == 0 || underscore == std::string_view::npos) return false;
  const char* end = name.data() + underscore;
  const auto [stop, error] = std::from_chars(name.data(), end, stamp);
  return error == std::errc() && stop == end;
}

}  // namespace

std::string PhotoFileName(std::string_view folder, uint32_t stamp, size_t index) {
  return FileInFolder(folder, std::to_string(stamp) + "_" + std::to_string(index) + ".jpg");
}

uint32_t FreeStamp(const std::string& folder, uint32_t wanted) {
  std::unordered_set<uint32_t> used;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(PathFromUtf8(folder), error), end;
       !error && entry != end; entry.increment(error)) {
    uint32_t stamp = 0;
    if (StampOf(Utf8FromPath(entry->path().filename()), stamp)) used.insert(stamp);
  }
  // Fewer names than stamps exist, so a free one is always found.
  uint32_t stamp = wanted;
  while (used.contains(stamp)) ++stamp;
  return stamp;
}

}  // namespace tarn
