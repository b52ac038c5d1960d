// SPDX-License-Identifier: MIT
#include "settings/app_paths.h"

#include <gtest/gtest.h>

#include "settings/error_text.h"

namespace tarn {
namespace {

TEST(ExtractAppDir, DropsTheLastDelimiterExceptARootOne) {
  EXPECT_EQ(ExtractAppDir("/opt/tarn/tarn"), "/opt/tarn");
  EXPECT_EQ(ExtractAppDir("/tarn"), "/");
  EXPECT_EQ(ExtractAppDir(R"(C:\Tools\Tarn.exe)"), R"(C:\Tools)");
  EXPECT_EQ(ExtractAppDir(R"(C:\Tarn.exe)"), R"(C:\)");
  EXPECT_EQ(ExtractAppDir("C:Tarn.exe"), "C");
  EXPECT_EQ(ExtractAppDir("tarn"), "");
}

TEST(SettingsPath, RootGivesTwoDelimitersInARow) {
  EXPECT_EQ(SettingsPath("/opt/tarn"), "/opt/tarn/Config.ini");
  EXPECT_EQ(SettingsPath(ExtractAppDir("/tarn")), "//Config.ini");
}

TEST(ErrorReportText, FullStopAppendedUnlessOneOrALowerCharacterEndsIt) {
  EXPECT_EQ(ErrorReportText("'abc' is not a valid integer value"),
            "'abc' is not a valid integer value.");
  EXPECT_EQ(ErrorReportText("Connection Closed Gracefully."), "Connection Closed Gracefully.");
  EXPECT_EQ(ErrorReportText("Socket Error # 10061\r\nConnection refused."),
            "Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(ErrorReportText("Done!"), "Done!");         // '!' sorts before '.'
  EXPECT_EQ(ErrorReportText("a-"), "a-");               // so does '-'
  EXPECT_EQ(ErrorReportText("path/"), "path/.");        // '/' sorts after '.'
  EXPECT_EQ(ErrorReportText("无法写入"), "无法写入.");  // multi-byte text sorts after
  EXPECT_EQ(ErrorReportText(""), "");
}

}  // namespace
}  // namespace tarn
