// SPDX-License-Identifier: MIT
#include "net/http/http_address.h"

#include <gtest/gtest.h>

#include "net/http/http_errors.h"

namespace tarn::net {
namespace {

TEST(SplitAddress, FullAddress) {
  const AddressParts parts = SplitAddress("http://u:pw@Example.com:8080/a/b/c.html?x=1&y=/z");
  EXPECT_EQ(parts.scheme, "http");
  EXPECT_EQ(parts.user, "u");
  EXPECT_EQ(parts.password, "pw");
  EXPECT_EQ(parts.host, "Example.com");
  EXPECT_EQ(parts.port, "8080");
  EXPECT_EQ(parts.directory, "/a/b/");
  EXPECT_EQ(parts.document, "c.html");
  EXPECT_EQ(parts.query, "?x=1&y=/z");
}

TEST(SplitAddress, BareHostGivesRootDirectory) {
  const AddressParts parts = SplitAddress("http://example.com");
  EXPECT_EQ(parts.host, "example.com");
  EXPECT_EQ(parts.port, "");
  EXPECT_EQ(parts.directory, "/");
  EXPECT_EQ(parts.document, "");
  EXPECT_EQ(parts.query, "");
}

TEST(SplitAddress, PasswordWithoutUserIsDropped) {
  const AddressParts parts = SplitAddress("http://:secret@h/");
  EXPECT_EQ(parts.user, "");
  EXPECT_EQ(parts.password, "");
  EXPECT_EQ(parts.host, "h");
}

TEST(SplitAddress, QueryStartsAtEqualsSignWithoutQuestionMark) {
  const AddressParts parts = SplitAddress("http://h/a/b=c/d");
  EXPECT_EQ(parts.directory, "/a/");
  EXPECT_EQ(parts.document, "b");
  EXPECT_EQ(parts.query, "=c/d");
}

TEST(SplitAddress, FragmentInDocumentEndsDocumentAndQueryStays) {
  const AddressParts parts = SplitAddress("http://h/p/photo#top?x=1");
  EXPECT_EQ(parts.directory, "/p/");
  EXPECT_EQ(parts.document, "photo");
  EXPECT_EQ(parts.query, "?x=1");
}

TEST(SplitAddress, FragmentInQueryEndsQuery) {
  const AddressParts parts = SplitAddress("http://h/p/photo?start=18#comments");
  EXPECT_EQ(parts.document, "photo");
  EXPECT_EQ(parts.query, "?start=18");
}

TEST(SplitAddress, BackslashesBecomeSlashes) {
  const AddressParts parts = SplitAddress("http://h\\photos\\album\\1.jpg");
  EXPECT_EQ(parts.host, "h");
  EXPECT_EQ(parts.directory, "/photos/album/");
  EXPECT_EQ(parts.document, "1.jpg");
}

TEST(SplitAddress, RelativeReference) {
  const AddressParts parts = SplitAddress("sub/page#frag?q=1#x");
  EXPECT_EQ(parts.scheme, "");
  EXPECT_EQ(parts.host, "");
  EXPECT_EQ(parts.directory, "sub/");
  EXPECT_EQ(parts.document, "page#frag");  // only the query is cut at "#" here
  EXPECT_EQ(parts.query, "?q=1");
}

TEST(JoinDirectory, JoinsCollapsesAndClimbs) {
  EXPECT_EQ(JoinDirectory("/album/", ""), "/album/");
  EXPECT_EQ(JoinDirectory("/album/", "sub/"), "/album/sub/");
  EXPECT_EQ(JoinDirectory("/album", "sub/"), "/album/sub/");
  EXPECT_EQ(JoinDirectory("/a/b/", "../"), "/a/");
  EXPECT_EQ(JoinDirectory("/a/b/", "../../../"), "/");
  EXPECT_EQ(JoinDirectory("/a//b/", "c//"), "/a/b/c/");
  EXPECT_EQ(JoinDirectory("/", ""), "/");
  EXPECT_EQ(JoinDirectory("", ""), "");
  EXPECT_EQ(JoinDirectory("", "x/"), "x/");
}

std::string Resolve(HttpTarget& target, std::string_view address) {
  target.Resolve(SplitAddress(address));
  return target.RequestTarget();
}

TEST(HttpTarget, RelativeAddressesResolveAgainstRememberedDirectory) {
  HttpTarget target;
  EXPECT_EQ(Resolve(target, "http://h/photos/album/1/"), "/photos/album/1/");
  EXPECT_EQ(Resolve(target, "big.jpg"), "/photos/album/1/big.jpg");
  EXPECT_EQ(Resolve(target, "../2/?start=18"), "/photos/album/2/?start=18");
  EXPECT_EQ(Resolve(target, "/top.html"), "/top.html");
  EXPECT_EQ(target.host, "h");
  EXPECT_EQ(target.scheme, "http");
  EXPECT_EQ(target.port, "80");
}

TEST(HttpTarget, HostValueCarriesPortUnlessItIs80) {
  HttpTarget target;
  target.Resolve(SplitAddress("http://h:8080/"));
  EXPECT_EQ(target.HostValue(), "h:8080");
  target.Resolve(SplitAddress("http://h:80/"));
  EXPECT_EQ(target.HostValue(), "h");
  target.Resolve(SplitAddress("http://h/"));
  EXPECT_EQ(target.HostValue(), "h");
}

TEST(HttpTarget, ExplicitPortIsRememberedForLaterAddresses) {
  HttpTarget target;
  target.Resolve(SplitAddress("http://a:8080/"));
  target.Resolve(SplitAddress("http://b/x"));
  EXPECT_EQ(target.port, "8080");
  EXPECT_EQ(target.HostValue(), "b:8080");
}

TEST(HttpTarget, DefaultPortFollowsScheme) {
  HttpTarget target;
  target.Resolve(SplitAddress("HTTPS://h/"));
  EXPECT_EQ(target.port, "443");
  target.Resolve(SplitAddress("http://h/"));
  EXPECT_EQ(target.port, "80");
}

TEST(HttpTarget, HttpsOnItsOwnPortNamesTheHostAlone) {
  struct Case {
    const char* address;
    const char* host_value;
  };
  const Case cases[] = {
      {"https://h/", "h"},           {"https://h:443/", "h"},    {"HTTPS://h/", "h"},
      {"https://h:8443/", "h:8443"}, {"http://h:443/", "h:443"}, {"https://h:80/", "h"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    HttpTarget target;
    target.Resolve(SplitAddress(c.address));
    EXPECT_EQ(target.HostValue(), c.host_value);
  }
}

TEST(HttpTarget, RelativeAddressAfterHttpsStaysOnHttps) {
  HttpTarget target;
  target.Resolve(SplitAddress("https://h/photos/album/1/"));
  EXPECT_EQ(Resolve(target, "?start=18"), "/photos/album/1/?start=18");
  EXPECT_EQ(target.scheme, "https");
  EXPECT_EQ(target.port, "443");
  target.Resolve(SplitAddress("http://h/"));
  EXPECT_EQ(Resolve(target, "x"), "/x");
  EXPECT_EQ(target.scheme, "http");
  EXPECT_EQ(target.port, "80");
}

TEST(HttpTarget, OtherSchemeWithoutPortIsUnknown) {
  HttpTarget target;
  EXPECT_THROW(target.Resolve(SplitAddress("ftp://h/file")), EIdUnknownProtocol);
  EXPECT_NO_THROW(target.Resolve(SplitAddress("ftp://h:21/file")));
}

TEST(HttpTarget, UserIsKeptButOnlyWhenGiven) {
  HttpTarget target;
  target.Resolve(SplitAddress("http://me:pw@h/"));
  target.Resolve(SplitAddress("http://h/"));
  EXPECT_EQ(target.user, "me");
  EXPECT_EQ(target.password, "pw");
  EXPECT_EQ(target.HostValue(), "h");
}

}  // namespace
}  // namespace tarn::net
