// SPDX-License-Identifier: MIT
#include <iconv.h>

#include <cerrno>

#include "announce/gb18030.h"

namespace tarn {
namespace {

// Output taken from iconv at a time; a page is converted in as many rounds as it needs.
constexpr size_t kChunkBytes = 16 * 1024;

}  // namespace

std::string Gb18030ToUtf8(std::string_view bytes) {
  std::string text;
  const iconv_t converter = iconv_open("UTF-8", "GB18030");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    // Without the system's tables only ASCII decodes.
    for (const char& c : bytes) text += (c & 0x80) ? kUtf8Replacement : std::string_view(&c, 1);
    return text;
  }
  char chunk[kChunkBytes];
  while (!bytes.empty()) {
    char* in = const_cast<char*>(bytes.data());  // iconv does not write through it
    size_t in_left = bytes.size();
    char* out = chunk;
    size_t out_left = sizeof chunk;
    const bool stopped =
        iconv(converter, &in, &in_left, &out, &out_left) == static_cast<size_t>(-1);
    const bool chunk_full = stopped && errno == E2BIG;
    text.append(chunk, static_cast<size_t>(out - chunk));
    bytes.remove_prefix(bytes.size() - in_left);
    if (stopped && !chunk_full) {
      // A byte that begins no character, or a character cut off by the end of the page.
      text += kUtf8Replacement;
      bytes.remove_prefix(1);
    }
  }
  iconv_close(converter);
  return text;
}

}  // namespace tarn
