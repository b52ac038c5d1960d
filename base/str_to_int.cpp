// SPDX-License-Identifier: MIT
#include "base/str_to_int.h"

#include <string>

namespace tarn {
namespace {

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  return v < base ? v : -1;
}

}  // namespace

int32_t StrToInt(std::string_view text) {
  auto fail = [&]() -> int32_t {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  };
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return fail();
  constexpr int64_t kLimit = int64_t{1} << 31;  // magnitude of INT32_MIN
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const int digit = DigitValue(text[i], base);
    if (digit < 0) return fail();
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return fail();
  }
  if (!negative && magnitude == kLimit) return fail();
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace tarn
