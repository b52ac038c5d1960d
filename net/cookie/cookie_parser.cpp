// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_parser.h"

#include <cstdint>
#include <limits>

#include "base/text.h"
#include "net/http/integer_text.h"
#include "net/http/internet_date.h"

namespace tarn::net {
namespace {

constexpr char kDelete = 0x7f;

struct Attribute {
  std::string name;  // upper-cased
  std::string_view value;
};

Attribute SplitAttribute(std::string_view item) {
  const size_t equals = item.find('=');
  if (equals == std::string_view::npos) return {AsciiUpper(item), {}};
  return {AsciiUpper(item.substr(0, equals)), item.substr(equals + 1)};
}

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == kDelete) return true;
  }
  return false;
}

std::string_view WithoutQuotes(std::string_view path) {
  if (path.starts_with('"')) path.remove_prefix(1);
  if (path.ends_with('"')) path.remove_suffix(1);
  return path;
}

std::time_t Later(std::time_t now, int64_t seconds) {
  // Saturates instead of overflowing; the date writer caps far moments anyway.
  if (seconds > std::numeric_limits<std::time_t>::max() - now) {
    return std::numeric_limits<std::time_t>::max();
  }
  return now + seconds;
}

}  // namespace

std::optional<ParsedCookie> ParseSetCookie(std::string_view text, std::time_t now) {
  ParsedCookie cookie;
  bool first = true;
  bool have_path = false;
  bool have_domain = false;
  bool have_expires = false;
  bool have_max_age = false;
  std::optional<int64_t> max_age;
  while (true) {
    const size_t semicolon = text.find(';');
    const std::string_view item = Trim(text.substr(0, semicolon));
    if (first) {
      const size_t equals = item.find('=');
      cookie.name = item.substr(0, equals);
      if (equals != std::string_view::npos) cookie.value = item.substr(equals + 1);
      first = false;
    } else {
      // An attribute given twice counts the first time.
      Attribute attribute = SplitAttribute(item);
      if (attribute.name == "PATH" && !have_path) {
        cookie.path = WithoutQuotes(attribute.value);
        have_path = true;
      } else if (attribute.name == "DOMAIN" && !have_domain) {
        cookie.domain = attribute.value;
        have_domain = true;
      } else if (attribute.name == "EXPIRES" && !have_expires) {
        cookie.expiry = attribute.value;
        have_expires = true;
      } else if (attribute.name == "MAX-AGE" && !have_max_age) {
        max_age = ParseInteger(attribute.value);
        have_max_age = true;
      } else if (attribute.name == "SECURE") {
        cookie.secure = true;
      }
    }
    if (semicolon == std::string_view::npos) break;
    text.remove_prefix(semicolon + 1);
  }
  if (HasControlCharacter(cookie.name) || HasControlCharacter(cookie.value)) return std::nullopt;
  if (cookie.expiry.empty() && max_age && *max_age >= 0) {
    cookie.expiry = WriteInternetDate(Later(now, *max_age));
  }
  return cookie;
}

}  // namespace tarn::net
