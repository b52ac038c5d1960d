// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include <gtest/gtest.h>

#include "cli/progress.h"

namespace tarn::cli {
namespace {

TEST(ReadAddressList, OneALineWithCommentsAndBlanksLeftOut) {
  EXPECT_EQ(ReadAddressList("# albums\n  http://a/photos/1/  \r\n\nhttp://a/photos/2/ # old\n"
                            "http://a/photos/3/#top\n#http://a/photos/4/"),
            (std::vector<std::string>{"http://a/photos/1/", "http://a/photos/2/",
                                      "http://a/photos/3/#top"}));
}

TEST(ProgressPieces, MegabytesAndDurations) {
  EXPECT_EQ(Megabytes(0), "0.0 MB");
  EXPECT_EQ(Megabytes(1'250'000), "1.2 MB");
  EXPECT_EQ(Duration(std::chrono::seconds(59)), "0:59");
  EXPECT_EQ(Duration(std::chrono::seconds(3725)), "1:02:05");
}

}  // namespace
}  // namespace tarn::cli
