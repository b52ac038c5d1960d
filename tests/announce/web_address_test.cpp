// SPDX-License-Identifier: MIT
#include "announce/web_address.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(WebAddress, HttpAndHttpsInAnyLetterCaseAreWebAddresses) {
  EXPECT_TRUE(IsWebAddress("http://a.test/"));
  EXPECT_TRUE(IsWebAddress("https://a.test/x y"));
  EXPECT_TRUE(IsWebAddress("HTTP://A.TEST"));
  EXPECT_TRUE(IsWebAddress("hTtPs://a.test"));
  EXPECT_TRUE(IsWebAddress("http://"));
}

TEST(WebAddress, EverythingElseIsRefused) {
  EXPECT_FALSE(IsWebAddress(""));
  EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(IsWebAddress("-x"));
  EXPECT_FALSE(IsWebAddress("--help http://a.test"));
  EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(IsWebAddress("a.test/page"));
  EXPECT_FALSE(IsWebAddress("/usr/bin/xterm"));
  EXPECT_FALSE(IsWebAddress(" http://a.test"));  // not at the start
  EXPECT_FALSE(IsWebAddress("http:/a.test"));
  EXPECT_FALSE(IsWebAddress("http"));
  EXPECT_FALSE(IsWebAddress("ftp://a.test"));
  EXPECT_FALSE(IsWebAddress("httpx://a.test"));
}

}  // namespace
}  // namespace tarn
