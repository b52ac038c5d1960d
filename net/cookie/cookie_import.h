// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "net/cookie/sign_in.h"

namespace tarn::net {

// Most bytes of cookie text read: a browser's export of every site it knows stays far below.
inline constexpr size_t kMaxCookieText = 4 << 20;
// Most cookies taken from one text; the client's store keeps no more either.
inline constexpr size_t kMaxUserCookies = 300;
// Longest name and value of one cookie together; a browser keeps no more than this either.
inline constexpr size_t kMaxCookieLength = 4096;

// What a text gave: the cookies, and what was left out (counts only: the lines hold secrets).
struct CookieImport {
  std::vector<UserCookie> cookies;
  int skipped = 0;  // lines or items that were no cookie, names given twice, beyond the bound
  int foreign = 0;  // cookies of other sites
  bool too_large = false;             // beyond kMaxCookieText: nothing was read
  std::vector<std::string> too_long;  // names of cookies beyond kMaxCookieLength, left out
};

// Whether cookies of a domain are wanted; other cookies of a cookies.txt count as foreign.
using DomainFilter = std::function<bool(std::string_view domain)>;

// A browser's "Cookie" header as copied from its developer tools, with or without "Cookie:"
// before it: items split at ";" (and at line ends), each at its first "=", quotes kept. Every
// cookie gets `domain` and the path "/"; a name given twice counts the first time.
CookieImport ParseCookieLine(std::string_view text, std::string_view domain);

// A Netscape cookies.txt: per line domain, include-subdomains flag, path, secure flag, expiry,
// name and value, separated by tabs; "#" starts a comment unless it is "#HttpOnly_" before a
// domain. Only cookies of domains `wanted` accepts are kept (all when it is empty).
CookieImport ParseCookiesTxt(std::string_view text, const DomainFilter& wanted = {});

// Either form: a text with a tab or starting with "#" is a cookies.txt.
CookieImport ParseUserCookies(std::string_view text, std::string_view line_domain,
                              const DomainFilter& wanted = {});

// The cookies as a cookies.txt that ParseCookiesTxt reads back unchanged.
std::string WriteCookiesTxt(const std::vector<UserCookie>& cookies);

}  // namespace tarn::net
