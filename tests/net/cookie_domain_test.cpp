// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_domain.h"

#include <gtest/gtest.h>

#include "net/socket/dotted_ipv4.h"

namespace tarn::net {
namespace {

TEST(CookieDomainTest, DottedIpv4IsFourNumbersUpTo255) {
  EXPECT_TRUE(IsDottedIpv4("127.0.0.1"));
  EXPECT_TRUE(IsDottedIpv4("255.255.255.255"));
  EXPECT_TRUE(IsDottedIpv4("010.0.0.1"));
  EXPECT_FALSE(IsDottedIpv4("256.0.0.1"));
  EXPECT_FALSE(IsDottedIpv4("1.2.3"));
  EXPECT_FALSE(IsDottedIpv4("1.2.3.4.5"));
  EXPECT_FALSE(IsDottedIpv4("1.2.3.4."));
  EXPECT_FALSE(IsDottedIpv4("0001.2.3.4"));
  EXPECT_FALSE(IsDottedIpv4("a.b.c.d"));
}

TEST(CookieDomainTest, AddressHostSetsOnlyItself) {
  EXPECT_TRUE(DomainMaySetCookie("10.0.0.1", "10.0.0.1"));
  EXPECT_FALSE(DomainMaySetCookie(".0.0.1", "10.0.0.1"));
  EXPECT_FALSE(DomainMaySetCookie("10.0.0.2", "10.0.0.1"));
}

TEST(CookieDomainTest, PlainDomainMustBeTheHost) {
  EXPECT_TRUE(DomainMaySetCookie("p.a.b", "p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie("a.b", "p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie("P.A.B", "p.a.b"));
}

TEST(CookieDomainTest, DottedDomainMustBeTheTailFromTheFirstDot) {
  EXPECT_TRUE(DomainMaySetCookie(".a.b", "p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie(".a.b", "x.p.a.b"));
  EXPECT_TRUE(DomainMaySetCookie(".p.a.b", "x.p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie(".b", "p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie(".A.B", "p.a.b"));
  EXPECT_FALSE(DomainMaySetCookie(".localhost", "localhost"));
}

TEST(CookieDomainTest, HostWithinDomainNeedsALabelBoundary) {
  EXPECT_TRUE(HostWithinDomain("x.Q.a.b", ".A.b"));
  EXPECT_FALSE(HostWithinDomain("a.b", ".a.b"));
  EXPECT_FALSE(HostWithinDomain("q.a.bc", ".a.b"));
  EXPECT_FALSE(HostWithinDomain("1127.0.0.1", "127.0.0.1"));
  EXPECT_FALSE(HostWithinDomain("p.a.b", ""));
}

}  // namespace
}  // namespace tarn::net
