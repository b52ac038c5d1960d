// SPDX-License-Identifier: MIT
#include <windows.h>

#include <climits>

#include "announce/gb18030.h"
#include "base/utf16.h"

namespace tarn {
namespace {

constexpr UINT kGb18030 = 54936;

}  // namespace

std::string Gb18030ToUtf8(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int size = static_cast<int>(bytes.size());
  // Without the strict flag Windows puts a replacement in for each byte it cannot read.
  std::wstring wide(static_cast<size_t>(MultiByteToWideChar(kGb18030, 0, bytes.data(), size,
                                                            nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(kGb18030, 0, bytes.data(), size, wide.data(),
                      static_cast<int>(wide.size()));
  return Utf16ToUtf8(wide);
}

}  // namespace tarn
