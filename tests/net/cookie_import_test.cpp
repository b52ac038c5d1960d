// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_import.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace tarn::net {
namespace {

using namespace std::string_literals;

// "name=value" of every cookie taken, joined by "|", then what was left out.
std::string Summary(const CookieImport& import) {
  std::string text;
  for (const UserCookie& c : import.cookies)
    text += (text.empty() ? "" : "|") + c.name + "=" + c.value;
  return text + " skipped " + std::to_string(import.skipped) + " foreign " +
         std::to_string(import.foreign) + (import.too_large ? " too large" : "");
}

std::string ManyCookies(int count) {
  std::string line;
  for (int i = 0; i < count; ++i) line += "c" + std::to_string(i) + "=1;";
  return line;
}

TEST(CookieLine, ItemsSplitAtSemicolonsAndTheFirstEquals) {
  const std::string long_value(100 << 10, 'v');
  const struct {
    std::string text;
    std::string taken;
  } cases[] = {
      {R"(Cookie: bid=a1; dbcl2="12345:Ab=c"; ck=Zx)",
       R"(bid=a1|dbcl2="12345:Ab=c"|ck=Zx skipped 0 foreign 0)"},
      {"cookie:bid=a1", "bid=a1 skipped 0 foreign 0"},
      {"  bid=a1;; ; ck=;\n", "bid=a1|ck= skipped 0 foreign 0"},
      {"bid; ck=2", "ck=2 skipped 1 foreign 0"},
      {"=1; ck=2", "ck=2 skipped 1 foreign 0"},
      {"b id=1; ck=2", "ck=2 skipped 1 foreign 0"},
      {"bid=1\r\nck=2\r\n", "bid=1|ck=2 skipped 0 foreign 0"},
      {"bid=a\0b; ck=2"s, "ck=2 skipped 1 foreign 0"},
      {"bid=a\tb; ck=2", "ck=2 skipped 1 foreign 0"},
      {"bid=1; bid=2", "bid=1 skipped 1 foreign 0"},
      {"big=" + long_value + "; ck=2", "ck=2 skipped 1 foreign 0"},
      {"Cookie: Cookie: a=1", " skipped 1 foreign 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    EXPECT_EQ(Summary(ParseCookieLine(c.text, ".douban.com")), c.taken);
  }
}

TEST(CookieLine, CookiesBelongToTheGivenDomainOverTls) {
  const UserCookie host = ParseCookieLine("bid=1", "127.0.0.1").cookies.at(0);
  const UserCookie domain = ParseCookieLine("bid=1", ".douban.com").cookies.at(0);
  EXPECT_EQ(std::tie(host.domain, host.include_subdomains, host.path, host.secure),
            std::make_tuple("127.0.0.1", false, "/", true));
  EXPECT_TRUE(domain.include_subdomains);
}

TEST(CookieLine, CountAndSizeAreBounded) {
  const CookieImport many = ParseCookieLine(ManyCookies(kMaxUserCookies + 1), "a.b");
  EXPECT_EQ(many.cookies.size(), kMaxUserCookies);
  EXPECT_EQ(many.skipped, 1);
  EXPECT_TRUE(ParseCookieLine(std::string(kMaxCookieText + 1, ';'), "a.b").too_large);
}

TEST(CookiesTxt, LinesOfSevenTabSeparatedFields) {
  const std::string row = ".douban.com\tTRUE\t/\tFALSE\t0\t";
  const struct {
    std::string text;
    std::string taken;
  } cases[] = {
      {"# Netscape HTTP Cookie File\n" + row + "dbcl2\t\"1:x\"\n",
       "dbcl2=\"1:x\" skipped 0 foreign 0"},
      {"#HttpOnly_" + row + "bid\tq", "bid=q skipped 0 foreign 0"},
      {"# " + row + "bid\tq\n\n   \n", " skipped 0 foreign 0"},
      {row + "bid\tq\r\n" + row + "ck\t\r\n", "bid=q|ck= skipped 0 foreign 0"},
      {row + "bid", " skipped 1 foreign 0"},
      {row + "bid\tq\tmore", " skipped 1 foreign 0"},
      {".douban.com\tyes\t/\tFALSE\t0\tbid\tq", " skipped 1 foreign 0"},
      {".douban.com\tTRUE\t/\tFALSE\t-1\tbid\tq", " skipped 1 foreign 0"},
      {".douban.com\tTRUE\tx\tFALSE\t0\tbid\tq", " skipped 1 foreign 0"},
      {".dou ban.com\tTRUE\t/\tFALSE\t0\tbid\tq", " skipped 1 foreign 0"},
      {row + "bid\tq\0r"s, " skipped 1 foreign 0"},
      {row + "bid\tq\rr", " skipped 1 foreign 0"},
      {row + "bid\t" + std::string(100 << 10, 'v') + "\n" + row + "ck\t2",
       "ck=2 skipped 1 foreign 0"},
      {".google.com\tTRUE\t/\tFALSE\t0\tSID\ts\n" + row + "bid\tq", "bid=q skipped 0 foreign 1"},
  };
  const DomainFilter service = [](std::string_view domain) { return domain == ".douban.com"; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    EXPECT_EQ(Summary(ParseCookiesTxt(c.text, service)), c.taken);
  }
}

TEST(CookiesTxt, WrittenCookiesReadBackUnchanged) {
  const std::vector<UserCookie> cookies = {
      {".douban.com", true, "/", true, 1893456000, "dbcl2", "\"12345:Ab=c\"", true},
      {"www.douban.com", false, "/photos/", false, 0, "ck", "", false},
  };
  EXPECT_EQ(ParseCookiesTxt(WriteCookiesTxt(cookies)).cookies, cookies);
}

}  // namespace
}  // namespace tarn::net
