// SPDX-License-Identifier: MIT
#include "announce/feed_text.h"

#include "base/code_page.h"
#include "base/text.h"

namespace tarn {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kCharsetIs = "CHARSET=";

// The charset parameter of a Content-Type value, upper-cased and unquoted; empty when none.
std::string Charset(std::string_view content_type) {
  const std::string upper = AsciiUpper(content_type);
  for (size_t at = upper.find(';'); at != std::string::npos; at = upper.find(';', at + 1)) {
    const std::string_view parameter = Trim(std::string_view(upper).substr(at + 1));
    if (!parameter.starts_with(kCharsetIs)) continue;
    std::string_view value = parameter.substr(kCharsetIs.size());
    value = Trim(value.substr(0, value.find(';')));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
  }
  return {};
}

// Bytes in the well-formed UTF-8 sequence that `bytes` begins with, or 0: no overlong form,
// no surrogate, nothing beyond U+10FFFF.
size_t Utf8SequenceLength(std::string_view bytes) {
  const auto at = [&](size_t i) -> unsigned char { return i < bytes.size() ? bytes[i] : 0; };
  const unsigned char lead = at(0);
  if (lead < 0x80) return 1;
  const size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  if (length == 0 || at(1) < low || at(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return length;
}

struct Decoded {
  std::string text;
  size_t replaced = 0;  // bytes that were no part of a character
};

// The text without a leading byte order mark; a byte in no well-formed sequence is replaced.
Decoded FromUtf8(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  Decoded decoded;
  while (!bytes.empty()) {
    const size_t length = Utf8SequenceLength(bytes);
    decoded.text += length == 0 ? kUtf8Replacement : bytes.substr(0, length);
    decoded.replaced += length == 0 ? 1 : 0;
    bytes.remove_prefix(length == 0 ? 1 : length);
  }
  return decoded;
}

}  // namespace

std::string DecodeFeedPage(std::string_view bytes, std::string_view content_type) {
  const std::string charset = Charset(content_type);
  if (charset == "GBK" || charset == "GB2312" || charset == "GB18030") return Gb18030ToUtf8(bytes);
  Decoded utf8 = FromUtf8(bytes);
  return utf8.replaced == 0 || charset == "UTF-8" ? std::move(utf8.text) : Gb18030ToUtf8(bytes);
}

}  // namespace tarn
