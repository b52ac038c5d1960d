// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

inline constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";  // U+FFFD

// GB18030 text (which GBK and GB2312 pages are too) in UTF-8; a byte that begins no character
// becomes U+FFFD: iconv on POSIX systems, the system's code page 54936 on Windows.
std::string Gb18030ToUtf8(std::string_view bytes);

}  // namespace tarn
