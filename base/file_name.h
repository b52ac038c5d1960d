// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// A file name made from a server's text, as the file system takes it. On Windows a device name
// (CON, aux, com1..., also before an extension: "aux.txt") gets "_" after that part, and a
// trailing dot or space, <>:"/\|?* and control characters become "_"; elsewhere the name stays.
std::string SystemSafeFileName(std::string name);

}  // namespace tarn
