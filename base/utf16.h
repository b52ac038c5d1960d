// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// Names and texts are UTF-8 inside the program and UTF-16 at the Windows API. Bytes that are
// not UTF-8 become U+FFFD, never a cut-short name.
std::wstring Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::wstring_view utf16);

// The system's own text for a Windows error number (GetLastError), in UTF-8.
std::string WindowsErrorText(unsigned long error);

}  // namespace tarn
