// SPDX-License-Identifier: MIT
#include "base/str_to_int.h"

#include <gtest/gtest.h>

namespace tarn {
namespace {

TEST(StrToInt, DecimalWithBlanksAndSign) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("5"), 5);
  EXPECT_EQ(StrToInt("-3"), -3);
  EXPECT_EQ(StrToInt("   +17"), 17);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
}

TEST(StrToInt, HexadecimalAfterEveryPrefix) {
  EXPECT_EQ(StrToInt("$1"), 1);
  EXPECT_EQ(StrToInt("0x1"), 1);
  EXPECT_EQ(StrToInt("0X1f"), 31);
  EXPECT_EQ(StrToInt("x1F"), 31);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("-$10"), -16);
  EXPECT_EQ(StrToInt(" $7FFFFFFF"), INT32_MAX);
}

TEST(StrToInt, RejectsWithTheTextQuoted) {
  for (const char* bad :
       {"", " ", "abc", "1 ", "\t1", "+", "-", "$", "0x", "1.0", "12a", "2147483648", "-2147483649",
        "$80000000", "99999999999999999999", "--1", "0x-1"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.Message(), std::string("'") + bad + "' is not a valid integer value");
    }
  }
}

}  // namespace
}  // namespace tarn
