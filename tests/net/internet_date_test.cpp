// SPDX-License-Identifier: MIT
#include "net/http/internet_date.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarn::net {
namespace {

constexpr std::time_t kNov6th1994 = 784111777;  // 1994-11-06 08:49:37 GMT

TEST(InternetDateTest, ReadsTheThreeFormsAndTheDashedFourDigitYear) {
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994 08:49:37 GMT"), kNov6th1994);
  EXPECT_EQ(ReadInternetDate("Sunday, 06-Nov-94 08:49:37 GMT"), kNov6th1994);
  EXPECT_EQ(ReadInternetDate("Sun Nov  6 08:49:37 1994"), kNov6th1994);
  EXPECT_EQ(ReadInternetDate("Sun, 06-Nov-1994 08:49:37 GMT"), kNov6th1994);
  EXPECT_EQ(ReadInternetDate("Friday, 01-Jan-21 00:00:00 GMT"), 1609459200);
}

TEST(InternetDateTest, RefusesTextsThatNameNoMoment) {
  using namespace std::string_view_literals;
  for (std::string_view text :
       {""sv, "tomorrow"sv, "Sun, 06 Nov 1994"sv, "Sun, 06 Foo 1994 08:49:37 GMT"sv,
        "Sun, 06 Nov 1994 08:49:37 GMT trailing"sv, "Sun, 06 Nov 1994 25:49:37 GMT"sv,
        "Tue, 31 Feb 1995 00:00:00 GMT"sv, "Thu, 29 Feb 2001 00:00:00 GMT"sv,
        "Sun, 06 Nov 1994 08:49:37 GMT\0junk"sv}) {
    EXPECT_EQ(ReadInternetDate(text), std::nullopt) << text;
  }
  EXPECT_NE(ReadInternetDate("Thu, 29 Feb 2024 00:00:00 GMT"), std::nullopt);
}

TEST(InternetDateTest, WritesRfc1123) {
  EXPECT_EQ(WriteInternetDate(kNov6th1994), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(WriteInternetDate(0), "Thu, 01 Jan 1970 00:00:00 GMT");
}

TEST(InternetDateTest, WrittenDatesReadBackUnchanged) {
  for (std::time_t moment : {std::time_t{0}, kNov6th1994, std::time_t{951782400},
                             std::time_t{1709164800}, std::time_t{4102444799}}) {
    EXPECT_EQ(ReadInternetDate(WriteInternetDate(moment)), moment) << moment;
  }
}

TEST(InternetDateTest, FarFutureIsWrittenAsLastFourDigitYear) {
  const std::string latest = WriteInternetDate(std::numeric_limits<std::time_t>::max());
  EXPECT_EQ(latest, "Fri, 31 Dec 9999 23:59:59 GMT");
  EXPECT_EQ(ReadInternetDate(latest), std::time_t{253402300799});
}

}  // namespace
}  // namespace tarn::net
