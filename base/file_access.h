// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <string>

namespace tarn {

// Opens a file by its UTF-8 name as std::fopen does, errno included.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Whether a file stands at `path` that this user may not write.
bool ExistsReadOnly(const std::string& path);

}  // namespace tarn
