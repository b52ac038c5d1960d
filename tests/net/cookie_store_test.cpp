// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_store.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace tarn::net {
namespace {

constexpr std::time_t kStart = 784111777;  // Sun, 06 Nov 1994 08:49:37 GMT

HttpHeaders SetCookies(std::initializer_list<std::string> values) {
  HttpHeaders head{{"Content-Type", "text/html"}};
  for (const std::string& value : values) head.push_back({"Set-Cookie", value});
  return head;
}

class CookieStoreTest : public ::testing::Test {
 protected:
  void Take(std::initializer_list<std::string> values, std::string_view host = "p.a.b",
            std::string_view directory = "/") {
    store_.TakeHead(SetCookies(values), host, directory);
  }
  std::string Send(std::string_view host = "p.a.b", std::string_view directory = "/") {
    return store_.CookieValueFor(host, directory);
  }

  std::time_t now_ = kStart;
  CookieStore store_{[this] { return now_; }};
};

TEST_F(CookieStoreTest, DomainAboveTheHostWithoutDotIsDropped) {
  Take({"s=1; domain=a.b; path=/"});
  EXPECT_EQ(Send("p.a.b"), "");
  EXPECT_EQ(Send("a.b"), "");
}

TEST_F(CookieStoreTest, HostCookieGoesToItsHostInAnyCaseButNotToLookalikes) {
  Take({"s=1; path=/"});
  EXPECT_EQ(Send("p.a.b"), "s=1");
  EXPECT_EQ(Send("P.A.B"), "s=1");
  EXPECT_EQ(Send("x.p.a.b"), "s=1");
  EXPECT_EQ(Send("xp.a.b"), "");
  EXPECT_EQ(Send("p.a.b.evil.example"), "");
  EXPECT_EQ(Send("q.a.b"), "");
}

TEST_F(CookieStoreTest, AddressHostKeepsItsCookiesToItself) {
  Take({"a=1; path=/", "b=2; domain=.0.0.1; path=/", "c=3; domain=127.0.0.1; path=/"}, "127.0.0.1");
  EXPECT_EQ(Send("127.0.0.1"), "c=3; a=1");
  EXPECT_EQ(Send("27.0.0.1"), "");
}

TEST_F(CookieStoreTest, EmptyValueIsStoredButNeverSent) {
  Take({"e=; path=/", "f=2; path=/"});
  EXPECT_EQ(Send(), "f=2");
  // Once given a value, "e" shows it was stored: it holds the earlier place of the group.
  Take({"e=3; path=/"});
  EXPECT_EQ(Send(), "f=2; e=3");
}

TEST_F(CookieStoreTest, ExpiredCookieIsRemovedBeforeTheNextRequest) {
  Take({"s=1; path=/; max-age=60", "t=2; path=/"});
  now_ = kStart + 59;
  EXPECT_EQ(Send(), "t=2; s=1");
  now_ = kStart + 60;
  EXPECT_EQ(Send(), "t=2");
  // Removed, not merely skipped: turning the clock back does not bring it back.
  now_ = kStart;
  EXPECT_EQ(Send(), "t=2");
}

TEST_F(CookieStoreTest, PastOrUnreadableExpiresRemovesTheCookie) {
  Take({"old=1; path=/; expires=Sat, 05 Nov 1994 08:49:37 GMT",
        "bad=2; path=/; expires=next Tuesday",
        "none=3; path=/; expires=", "new=4; path=/; expires=Sunday, 06-Nov-94 08:49:38 GMT"});
  EXPECT_EQ(Send(), "new=4; none=3");
  now_ = kStart + 1;
  EXPECT_EQ(Send(), "none=3");
}

TEST_F(CookieStoreTest, MaxAgeZeroRemovesAtOnce) {
  Take({"s=1; path=/"});
  EXPECT_EQ(Send(), "s=1");
  Take({"s=1; path=/; max-age=0"});
  EXPECT_EQ(Send(), "");
}

TEST_F(CookieStoreTest, ReplacedCookieKeepsItsPlace) {
  Take({"a=1; path=/", "b=2; path=/"});
  EXPECT_EQ(Send(), "b=2; a=1");
  Take({"a=3; path=/"});
  EXPECT_EQ(Send(), "b=2; a=3");
}

TEST_F(CookieStoreTest, ReplacingMatchesNameAndDomainInAnyCase) {
  Take({"SID=1; path=/"});
  Take({"sid=2; domain=P.A.B; path=/"}, "P.A.B");
  EXPECT_EQ(Send(), "SID=2");
}

TEST_F(CookieStoreTest, ReplacingTakesPathAndSecureFlag) {
  Take({"a=1; path=/"});
  Take({"a=2; path=/photos/"});
  EXPECT_EQ(Send("p.a.b", "/"), "");
  EXPECT_EQ(Send("p.a.b", "/photos/"), "a=2");
  Take({"a=3; path=/photos/; secure"});
  EXPECT_EQ(Send("p.a.b", "/photos/"), "");
}

TEST_F(CookieStoreTest, ReplacingCookieBringsItsOwnExpiry) {
  Take({"a=1; path=/; max-age=10", "b=1; path=/"});
  Take({"a=2; path=/", "b=2; path=/; expires=Sun, 06 Nov 1994 08:49:47 GMT"});
  EXPECT_EQ(Send(), "b=2; a=2");
  now_ = kStart + 20;
  EXPECT_EQ(Send(), "a=2");
}

TEST_F(CookieStoreTest, LongerPathGoesFirst) {
  Take({"r=1; path=/", "p=2; path=/photos/"});
  EXPECT_EQ(Send("p.a.b", "/photos/"), "p=2; r=1");
  EXPECT_EQ(Send("p.a.b", "/"), "r=1");
}

TEST_F(CookieStoreTest, EqualPathsFollowGroupOrder) {
  Take({"x=1; path=/", "y=2; domain=.a.b; path=/", "z=3; path=/"});
  EXPECT_EQ(Send(), "z=3; x=1; y=2");
}

TEST_F(CookieStoreTest, PathIsAPrefixWithLetterCaseCounting) {
  Take({"a=1; path=/Photos/", "b=2; path=\"/photos/\""});
  EXPECT_EQ(Send("p.a.b", "/photos/12/"), "b=2");
  EXPECT_EQ(Send("p.a.b", "/Photos/"), "a=1");
  EXPECT_EQ(Send("p.a.b", "/"), "");
}

TEST_F(CookieStoreTest, CookieWithoutPathBelongsToTheRequestDirectory) {
  Take({"a=1", "b=2; path="}, "p.a.b", "/album/12/");
  EXPECT_EQ(Send("p.a.b", "/album/12/"), "b=2; a=1");
  EXPECT_EQ(Send("p.a.b", "/album/12/more/"), "b=2; a=1");
  EXPECT_EQ(Send("p.a.b", "/album/"), "");
  EXPECT_EQ(Send("p.a.b", "/"), "");
  Take({"c=3"}, "r.a.b", "");
  EXPECT_EQ(Send("r.a.b", "/"), "c=3");
}

TEST_F(CookieStoreTest, SecureCookieIsNeverSent) {
  Take({"a=1; path=/; secure", "b=2; path=/; Secure=1", "c=3; path=/"});
  EXPECT_EQ(Send(), "c=3");
}

TEST_F(CookieStoreTest, SetCookie2IsTakenAfterSetCookie) {
  HttpHeaders head{{"set-cookie2", "a=2; path=/"},
                   {"SET-COOKIE", "a=1; path=/"},
                   {"Set-Cookie3", "c=3; path=/"},
                   {"Cookie", "d=4; path=/"}};
  store_.TakeHead(head, "p.a.b", "/");
  EXPECT_EQ(Send(), "a=2");
}

TEST_F(CookieStoreTest, MalformedAttributesNeverThrow) {
  EXPECT_NO_THROW(Take({"a=1; max-age=abc; expires; domain; path; ==; ;;", ";", "", "=",
                        "b=2; domain=.; path=\"", "c=3; domain=..."},
                       "p.a.b", "/dir/"));
  EXPECT_EQ(Send("p.a.b", "/dir/"), "a=1");
}

// The user's cookies for ".a.b", bound to https on p.a.b port 8443.
SignIn SignInOf(std::vector<UserCookie> cookies) { return {std::move(cookies), {{"p.a.b", 8443}}}; }
UserCookie Own(std::string name, std::string value, int64_t expiry = 0) {
  return {".a.b", true, "/", false, expiry, std::move(name), std::move(value), false};
}

TEST_F(CookieStoreTest, SignInGoesOverTlsToItsOriginsAlone) {
  UserCookie top_level = Own("tld", "1");  // a cookie of ".b" is no cookie of the site
  top_level.domain = ".b";
  store_.TakeSignIn(SignInOf({Own("dbcl2", "\"1:s\""), Own("old", "1", kStart - 1), top_level}));
  Take({"bid=p; domain=.a.b; path=/"});
  const struct {
    const char* host;
    bool secure;
    int port;
    const char* sent;
  } cases[] = {
      {"p.a.b", true, 8443, "bid=p; dbcl2=\"1:s\""},
      {"P.A.B", true, 8443, "bid=p; dbcl2=\"1:s\""},
      {"p.a.b", false, 8443, "bid=p"},  // plain HTTP
      {"p.a.b", true, 443, "bid=p"},    // the image host on the same machine
      {"q.a.b", true, 8443, "bid=p"},   // another host of the domain
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.host) + " " + std::to_string(c.port));
    EXPECT_EQ(store_.CookieValueFor(c.host, "/", c.secure, c.port), c.sent);
  }
}

TEST_F(CookieStoreTest, ServiceCookieInTheSignInsPlaceStaysBound) {
  store_.TakeSignIn(SignInOf({Own("bid", "u"), Own("dbcl2", "s")}));
  Take({"dbcl2=rotated; domain=.a.b; path=/", "ck=t; domain=.a.b; path=/"});
  EXPECT_EQ(store_.CookieValueFor("p.a.b", "/", true, 8443), "ck=t; dbcl2=rotated; bid=u");
  EXPECT_EQ(store_.CookieValueFor("q.a.b", "/", false), "ck=t");
}

TEST_F(CookieStoreTest, OverlongSetCookieIsDropped) {
  const std::string prefix = "a=";
  const std::string suffix = "; path=/";
  const std::string fits(4096 - prefix.size() - suffix.size(), 'v');
  Take({prefix + fits + suffix, "b=" + fits + "v" + suffix});
  EXPECT_EQ(Send(), "a=" + fits);
}

TEST_F(CookieStoreTest, StoreHoldsAtMost300CookiesUntilSomeExpire) {
  HttpHeaders head;
  for (int i = 0; i < 310; ++i) {
    head.push_back({"Set-Cookie", "c" + std::to_string(i) + "=v; path=/; max-age=1"});
  }
  store_.TakeHead(head, "p.a.b", "/");
  const std::string sent = Send();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), '='), 300);
  EXPECT_TRUE(sent.starts_with("c299=v; ")) << sent;
  Take({"c0=new; path=/", "late=1; path=/"});
  const std::string after = Send();
  EXPECT_TRUE(after.starts_with("c299=v; ")) << after;
  EXPECT_TRUE(after.ends_with("c1=v; c0=new")) << after;
  now_ = kStart + 1;
  Take({"fresh=1; path=/"});
  EXPECT_EQ(Send(), "fresh=1; c0=new");
}

}  // namespace
}  // namespace tarn::net
