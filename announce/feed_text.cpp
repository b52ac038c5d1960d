// SPDX-License-Identifier: MIT
#include "announce/feed_text.h"

#include <iconv.h>

#include <cerrno>
#include <optional>

#include "base/text.h"

namespace tarn {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Output taken from iconv at a time; a page is converted in as many rounds as it needs.
constexpr size_t kChunkBytes = 16 * 1024;

// The charset parameter of a Content-Type value, without quotes; empty when it has none.
std::string_view Charset(std::string_view content_type) {
  for (size_t at = content_type.find(';'); at != std::string_view::npos;
       at = content_type.find(';', at + 1)) {
    std::string_view parameter = content_type.substr(at + 1);
    parameter = parameter.substr(0, parameter.find(';'));
    const size_t equals = parameter.find('=');
    if (equals == std::string_view::npos ||
        !EqualsIgnoringAsciiCase(Trim(parameter.substr(0, equals)), "charset")) {
      continue;
    }
    std::string_view value = Trim(parameter.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

// Bytes in the well-formed UTF-8 sequence that `bytes` begins with (no overlong form, no
// surrogate, nothing beyond U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t length = 2;
  unsigned char low = 0x80;  // bounds of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else if (lead < 0xC2 || lead > 0xDF) {
    return 0;
  }
  if (bytes.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// The text with a byte order mark dropped; nothing when a byte is not well-formed UTF-8, unless
// `lenient`, which replaces each such byte instead.
std::optional<std::string> FromUtf8(std::string_view bytes, bool lenient) {
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  std::string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    const size_t length = Utf8SequenceLength(bytes);
    if (length == 0 && !lenient) return std::nullopt;
    text += length == 0 ? kReplacement : bytes.substr(0, length);
    bytes.remove_prefix(length == 0 ? 1 : length);
  }
  return text;
}

std::string FromGb18030(std::string_view bytes) {
  std::string text;
  const iconv_t converter = iconv_open("UTF-8", "GB18030");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    // Without the system's tables only ASCII decodes.
    for (const char& c : bytes) text += (c & 0x80) ? kReplacement : std::string_view(&c, 1);
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
      text += kReplacement;
      bytes.remove_prefix(1);
    }
  }
  iconv_close(converter);
  return text;
}

}  // namespace

std::string DecodeFeedPage(std::string_view bytes, std::string_view content_type) {
  const std::string charset = AsciiUpper(Charset(content_type));
  if (charset == "UTF-8") return *FromUtf8(bytes, true);
  if (charset == "GBK" || charset == "GB2312" || charset == "GB18030") return FromGb18030(bytes);
  std::optional<std::string> utf8 = FromUtf8(bytes, false);
  return utf8 ? std::move(*utf8) : FromGb18030(bytes);
}

}  // namespace tarn
