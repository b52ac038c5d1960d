// SPDX-License-Identifier: MIT
#include <iconv.h>

#include "base/code_page.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

// Room for the longest character of any code page iconv knows.
constexpr size_t kMaxBytesPerCharacter = 8;

}  // namespace

CodePageConverter::CodePageConverter(const char* code_page)
    : handle_(iconv_open(code_page, "UTF-32LE")) {
  if (handle_ == reinterpret_cast<iconv_t>(-1)) {
    throw EIdException(std::string("Unknown code page ") + code_page);
  }
}

CodePageConverter::~CodePageConverter() { iconv_close(static_cast<iconv_t>(handle_)); }

void CodePageConverter::Append(char32_t character, std::string& out) {
  char in_bytes[4] = {
      static_cast<char>(character & 0xFF), static_cast<char>((character >> 8) & 0xFF),
      static_cast<char>((character >> 16) & 0xFF), static_cast<char>((character >> 24) & 0xFF)};
  char out_bytes[kMaxBytesPerCharacter];
  char* in = in_bytes;
  size_t in_left = sizeof in_bytes;
  char* produced = out_bytes;
  size_t out_left = sizeof out_bytes;
  const auto handle = static_cast<iconv_t>(handle_);
  if (iconv(handle, &in, &in_left, &produced, &out_left) == static_cast<size_t>(-1)) {
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    out += kDefaultCharacter;
    return;
  }
  out.append(out_bytes, static_cast<size_t>(produced - out_bytes));
}

}  // namespace tarn::net
