// SPDX-License-Identifier: MIT
// What a user pastes or picks as their sign-in, read in either form. Nothing taken may carry a
// byte that could split a request's Cookie header, the bounds hold, and a cookies.txt written
// from what was taken reads back the same.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "net/cookie/cookie_import.h"

namespace {

using tarn::fuzz::Check;

bool Clean(std::string_view text) {
  return std::none_of(text.begin(), text.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

void CheckImport(const tarn::net::CookieImport& import) {
  Check(import.cookies.size() <= tarn::net::kMaxUserCookies, "the count is bounded");
  for (const tarn::net::UserCookie& c : import.cookies) {
    Check(!c.name.empty(), "every cookie has a name");
    Check(c.name.find_first_of(" ;=") == std::string::npos, "a name is one token");
    Check(Clean(c.name) && Clean(c.value) && Clean(c.path) && Clean(c.domain),
          "no control byte in what goes into a header or a line");
  }
  const auto again = tarn::net::ParseCookiesTxt(tarn::net::WriteCookiesTxt(import.cookies));
  Check(again.cookies == import.cookies && again.skipped == 0, "a written file reads back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckImport(tarn::net::ParseCookieLine(text, ".douban.com"));
  CheckImport(tarn::net::ParseCookiesTxt(text));
  return 0;
}
