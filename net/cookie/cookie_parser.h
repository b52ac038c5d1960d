// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::net {

// A cookie as one answer header sets it, before the store checks its domain and fills in the
// defaults. Other attributes ("VERSION", "COMMENT", "PORT", ...) play no part in sending and
// are not kept.
struct ParsedCookie {
  std::string name;
  std::string value;
  std::string path;    // empty when the answer gave none
  std::string domain;  // empty when the answer gave none
  std::string expiry;  // an Internet date, or empty for a cookie that lives as long as its store
  bool secure = false;
};

// Parses one "Set-cookie" or "Set-cookie2" value: items split at ";" and trimmed, the first
// giving name and value, the others attributes named in any letter case. now is the moment a
// "MAX-AGE" counts from. Malformed attributes are ignored; nothing is thrown. A name or value
// holding control characters gives nothing, since it would end up inside a request header.
std::optional<ParsedCookie> ParseSetCookie(std::string_view text, std::time_t now);

}  // namespace tarn::net
