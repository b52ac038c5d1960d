// SPDX-License-Identifier: MIT
#include <windows.h>

#include "base/free_space.h"
#include "base/utf16.h"

namespace tarn {

std::optional<uint64_t> FreeSpace(const std::string& folder) {
  ULARGE_INTEGER available{};
  if (folder.empty() ||
      !GetDiskFreeSpaceExW(Utf8ToUtf16(folder).c_str(), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}

}  // namespace tarn
