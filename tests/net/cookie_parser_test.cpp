// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_parser.h"

#include <gtest/gtest.h>

namespace tarn::net {
namespace {

constexpr std::time_t kNow = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT

ParsedCookie Parse(std::string_view text) {
  std::optional<ParsedCookie> cookie = ParseSetCookie(text, kNow);
  EXPECT_TRUE(cookie.has_value()) << text;
  return cookie.value_or(ParsedCookie{});
}

TEST(CookieParserTest, NameAndValueSplitAtFirstEquals) {
  const ParsedCookie cookie = Parse("  sid=a=b==  ");
  EXPECT_EQ(cookie.name, "sid");
  EXPECT_EQ(cookie.value, "a=b==");
  EXPECT_EQ(cookie.path, "");
  EXPECT_EQ(cookie.domain, "");
  EXPECT_EQ(cookie.expiry, "");
  EXPECT_FALSE(cookie.secure);
}

TEST(CookieParserTest, AttributeNamesInAnyLetterCase) {
  const ParsedCookie cookie = Parse("a=1; PaTh=/x/ ;dOmAiN=.a.b;  ExPiReS=whenever; sEcUrE=yes");
  EXPECT_EQ(cookie.path, "/x/");
  EXPECT_EQ(cookie.domain, ".a.b");
  EXPECT_EQ(cookie.expiry, "whenever");
  EXPECT_TRUE(cookie.secure);
}

TEST(CookieParserTest, PathLosesOneQuoteAtEachEnd) {
  EXPECT_EQ(Parse("a=1; path=\"/photos/\"").path, "/photos/");
  EXPECT_EQ(Parse("a=1; path=\"\"/x/\"\"").path, "\"/x/\"");
  EXPECT_EQ(Parse("a=1; path=\"").path, "");
}

TEST(CookieParserTest, MaxAgeGivesAnExpiryCountedFromNow) {
  EXPECT_EQ(Parse("a=1; max-age=60").expiry, "Sun, 06 Nov 1994 08:50:37 GMT");
  EXPECT_EQ(Parse("a=1; Max-Age=+60").expiry, "Sun, 06 Nov 1994 08:50:37 GMT");
  EXPECT_EQ(Parse("a=1; max-age=0").expiry, "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(Parse("a=1; max-age=9223372036854775807").expiry, "Fri, 31 Dec 9999 23:59:59 GMT");
}

TEST(CookieParserTest, NegativeOrUnreadableMaxAgeGivesNoExpiry) {
  EXPECT_EQ(Parse("a=1; max-age=-1").expiry, "");
  EXPECT_EQ(Parse("a=1; max-age=soon").expiry, "");
  EXPECT_EQ(Parse("a=1; max-age=60s").expiry, "");
  EXPECT_EQ(Parse("a=1; max-age=").expiry, "");
  EXPECT_EQ(Parse("a=1; max-age=99999999999999999999").expiry, "");
}

TEST(CookieParserTest, ExpiresOutranksMaxAge) {
  EXPECT_EQ(Parse("a=1; max-age=60; expires=Mon, 07 Nov 1994 00:00:00 GMT").expiry,
            "Mon, 07 Nov 1994 00:00:00 GMT");
}

TEST(CookieParserTest, FirstOfARepeatedAttributeCounts) {
  const ParsedCookie cookie = Parse("a=1; path=/one/; path=/two/; max-age=x; max-age=60");
  EXPECT_EQ(cookie.path, "/one/");
  EXPECT_EQ(cookie.expiry, "");
}

TEST(CookieParserTest, ControlCharactersInNameOrValueRefuseTheCookie) {
  using namespace std::string_view_literals;
  EXPECT_EQ(ParseSetCookie("a=1\r\nX-Injected: yes; path=/", kNow), std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1\x7f", kNow), std::nullopt);
  EXPECT_EQ(ParseSetCookie("a\tb=1", kNow), std::nullopt);
  EXPECT_EQ(ParseSetCookie("a=1\0b"sv, kNow), std::nullopt);
  EXPECT_NE(ParseSetCookie("a=\xe6\xb9\x96; path=/\x01", kNow), std::nullopt);
}

}  // namespace
}  // namespace tarn::net
