// SPDX-License-Identifier: MIT
#include "base/text.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(" \t\r\n http://a/ \x01\x1f "), "http://a/");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("a b"), "a b");
}

TEST(Trim, KeepsBytesOfMultiByteCharacters) {
  EXPECT_EQ(Trim(" 湖光 "), "湖光");  // bytes >= 0x80 are never blanks
}

TEST(AsciiCase, OnlyLettersChange) {
  EXPECT_EQ(AsciiUpper("max-age=5;湖"), "MAX-AGE=5;湖");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("DownLoad_Mode", "download_mode"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Config", "Config2"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));  // 0x5B and 0x7B are not letters
}

}  // namespace
}  // namespace tarn
