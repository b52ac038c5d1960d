// SPDX-License-Identifier: MIT
#include <unistd.h>

#include "base/file_access.h"

namespace tarn {

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool ExistsReadOnly(const std::string& path) {
  return ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

}  // namespace tarn
