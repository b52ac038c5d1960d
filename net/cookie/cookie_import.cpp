// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_import.h"

#include <algorithm>
#include <optional>

#include "base/text.h"
#include "net/http/integer_text.h"

namespace tarn::net {
namespace {

constexpr char kDelete = 0x7f;
constexpr std::string_view kCookiePrefix = "Cookie:";
constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";
constexpr size_t kNetscapeFields = 7;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == kDelete; }

bool HasControl(std::string_view text) { return std::any_of(text.begin(), text.end(), IsControl); }

// A header token: a name holding blanks or separators would split the "Cookie" header.
bool IsCookieName(std::string_view name) {
  constexpr std::string_view kSeparators = "()<>@,;:\\\"/[]?={} ";
  return !name.empty() && std::none_of(name.begin(), name.end(), [&](char c) {
    return IsControl(c) || kSeparators.find(c) != std::string_view::npos;
  });
}

bool IsDomain(std::string_view domain) {
  return !domain.empty() && std::all_of(domain.begin(), domain.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '-' || c == '_';
  });
}

std::optional<bool> ReadFlag(std::string_view text) {
  if (EqualsIgnoringAsciiCase(text, "TRUE")) return true;
  if (EqualsIgnoringAsciiCase(text, "FALSE")) return false;
  return std::nullopt;
}

std::optional<int64_t> ReadExpiry(std::string_view text) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return ParseInteger(text);
}

// Takes a well-formed cookie unless its name is taken on its domain or the bound is reached.
void Add(CookieImport& import, UserCookie cookie) {
  const bool taken = std::any_of(import.cookies.begin(), import.cookies.end(), [&](auto& c) {
    return c.name == cookie.name && EqualsIgnoringAsciiCase(c.domain, cookie.domain);
  });
  const bool too_long = cookie.name.size() + cookie.value.size() > kMaxCookieLength;
  if (too_long) import.too_long.push_back(cookie.name);
  if (taken || too_long || import.cookies.size() >= kMaxUserCookies) {
    ++import.skipped;
    return;
  }
  import.cookies.push_back(std::move(cookie));
}

// The next piece of `text` up to one of `ends`, which is dropped with it.
std::string_view TakeUntil(std::string_view& text, std::string_view ends) {
  const size_t end = text.find_first_of(ends);
  const std::string_view piece = text.substr(0, end);
  text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  return piece;
}

void ReadNetscapeLine(std::string_view line, const DomainFilter& wanted, CookieImport& import) {
  UserCookie cookie;
  if (line.starts_with(kHttpOnlyPrefix)) {
    cookie.http_only = true;
    line.remove_prefix(kHttpOnlyPrefix.size());
  } else if (Trim(line).empty() || Trim(line).starts_with('#')) {
    return;
  }
  std::vector<std::string_view> fields;
  for (size_t start = 0; fields.size() <= kNetscapeFields;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  const std::optional<bool> subdomains =
      fields.size() == kNetscapeFields ? ReadFlag(fields[1]) : std::nullopt;
  const std::optional<bool> secure = subdomains ? ReadFlag(fields[3]) : std::nullopt;
  const std::optional<int64_t> expiry = secure ? ReadExpiry(fields[4]) : std::nullopt;
  if (!expiry || !IsDomain(fields[0]) || !fields[2].starts_with('/') || HasControl(fields[2]) ||
      !IsCookieName(fields[5]) || HasControl(fields[6])) {
    ++import.skipped;
    return;
  }
  if (wanted && !wanted(fields[0])) {
    ++import.foreign;
    return;
  }
  cookie.domain = fields[0];
  cookie.include_subdomains = *subdomains;
  cookie.path = fields[2];
  cookie.secure = *secure;
  cookie.expiry = *expiry;
  cookie.name = fields[5];
  cookie.value = fields[6];
  Add(import, std::move(cookie));
}

}  // namespace

CookieImport ParseCookieLine(std::string_view text, std::string_view domain) {
  CookieImport import;
  if (text.size() > kMaxCookieText) {
    import.too_large = true;
    return import;
  }
  text = Trim(text);
  if (EqualsIgnoringAsciiCase(text.substr(0, kCookiePrefix.size()), kCookiePrefix)) {
    text.remove_prefix(kCookiePrefix.size());
  }
  while (!text.empty()) {
    const std::string_view item = Trim(TakeUntil(text, ";\r\n"));
    if (item.empty()) continue;
    const size_t equals = item.find('=');
    const std::string_view name = Trim(item.substr(0, equals));
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : Trim(item.substr(equals + 1));
    if (equals == std::string_view::npos || !IsCookieName(name) || HasControl(value)) {
      ++import.skipped;
      continue;
    }
    UserCookie cookie;
    cookie.domain = domain;
    cookie.include_subdomains = domain.starts_with('.');
    cookie.secure = true;  // they only ever go over TLS
    cookie.name = name;
    cookie.value = value;
    Add(import, std::move(cookie));
  }
  return import;
}

CookieImport ParseCookiesTxt(std::string_view text, const DomainFilter& wanted) {
  CookieImport import;
  if (text.size() > kMaxCookieText) {
    import.too_large = true;
    return import;
  }
  while (!text.empty()) {
    std::string_view line = TakeUntil(text, "\n");
    if (line.ends_with('\r')) line.remove_suffix(1);
    ReadNetscapeLine(line, wanted, import);
  }
  return import;
}

CookieImport ParseUserCookies(std::string_view text, std::string_view line_domain,
                              const DomainFilter& wanted) {
  if (text.find('\t') != std::string_view::npos || Trim(text).starts_with('#'))
    return ParseCookiesTxt(text, wanted);
  return ParseCookieLine(text, line_domain);
}

std::string WriteCookiesTxt(const std::vector<UserCookie>& cookies) {
  std::string text =
      "# Netscape HTTP Cookie File\n"
      "# Tarn's sign-in to the photo service. It signs in as you: keep it to yourself.\n\n";
  for (const UserCookie& c : cookies) {
    if (c.http_only) text += kHttpOnlyPrefix;
    text.append(c.domain).append(c.include_subdomains ? "\tTRUE\t" : "\tFALSE\t");
    text.append(c.path).append(c.secure ? "\tTRUE\t" : "\tFALSE\t");
    text.append(std::to_string(c.expiry)).append("\t").append(c.name).append("\t");
    text.append(c.value).append("\n");
  }
  return text;
}

}  // namespace tarn::net
