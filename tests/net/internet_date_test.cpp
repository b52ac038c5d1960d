// SPDX-License-Identifier: MIT
#include "net/internet_date.h"

#include <gtest/gtest.h>

#include <limits>

namespace tarn::net {
namespace {

constexpr std::time_t kNov6th1994 = 784111777;  // 1994-11-06 08:49:37 GMT

TEST(InternetDateTest, ReadsRfc1123) {
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994 08:49:37 GMT"), kNov6th1994);
}

TEST(InternetDateTest, ReadsRfc850WithTwoDigitYear) {
  EXPECT_EQ(ReadInternetDate("Sunday, 06-Nov-94 08:49:37 GMT"), kNov6th1994);
}

TEST(InternetDateTest, ReadsDashedFormWithFourDigitYear) {
  EXPECT_EQ(ReadInternetDate("Sun, 06-Nov-1994 08:49:37 GMT"), kNov6th1994);
  EXPECT_EQ(ReadInternetDate("Wed, 09-Jun-2021 10:18:14 GMT"), 1623233894);
}

TEST(InternetDateTest, ReadsAsctime) {
  EXPECT_EQ(ReadInternetDate("Sun Nov  6 08:49:37 1994"), kNov6th1994);
}

TEST(InternetDateTest, ReadsTwoDigitYearsOfThisCentury) {
  EXPECT_EQ(ReadInternetDate("Friday, 01-Jan-21 00:00:00 GMT"), 1609459200);
}

TEST(InternetDateTest, RefusesTextsThatAreNoDate) {
  EXPECT_EQ(ReadInternetDate(""), std::nullopt);
  EXPECT_EQ(ReadInternetDate("tomorrow"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("Sun, 06 Foo 1994 08:49:37 GMT"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994 08:49:37 GMT trailing"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994 25:49:37 GMT"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("1994-11-06T08:49:37Z"), std::nullopt);
}

TEST(InternetDateTest, RefusesDaysThatDoNotExist) {
  EXPECT_EQ(ReadInternetDate("Tue, 31 Feb 1995 00:00:00 GMT"), std::nullopt);
  EXPECT_EQ(ReadInternetDate("Thu, 29 Feb 2001 00:00:00 GMT"), std::nullopt);
  EXPECT_NE(ReadInternetDate("Thu, 29 Feb 2024 00:00:00 GMT"), std::nullopt);
}

TEST(InternetDateTest, RefusesTextWithEmbeddedNul) {
  using namespace std::string_view_literals;
  EXPECT_EQ(ReadInternetDate("Sun, 06 Nov 1994 08:49:37 GMT\0junk"sv), std::nullopt);
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
