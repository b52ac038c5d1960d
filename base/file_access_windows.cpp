// SPDX-License-Identifier: MIT
#include <windows.h>

#include "base/file_access.h"
#include "base/utf16.h"

namespace tarn {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToUtf16(path).c_str(), Utf8ToUtf16(mode).c_str());
}

bool ExistsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToUtf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace tarn
