// SPDX-License-Identifier: MIT
#include "download/stamped_names.h"

#include <gtest/gtest.h>

#include <limits>

#include "../support/temp_dir.h"
#include "base/file_path.h"
#include "download/low_space.h"

namespace tarn {
namespace {

using testing::TempDir;
using testing::WriteAll;

TEST(PhotoNames, KeepTheNamingPattern) {
  // The folder and the name joined as the system joins them ("\\" on Windows).
  EXPECT_EQ(PhotoFileName("/photos", 12345, 0), FileInFolder("/photos", "12345_0.jpg"));
  EXPECT_EQ(PhotoFileName("/photos", 4294967295u, 17),
            FileInFolder("/photos", "4294967295_17.jpg"));
}

TEST(PhotoNames, AStampUsedByAnEarlierRunIsPassedOver) {
  TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_EQ(FreeStamp(folder, 500), 500u);
  for (const char* name : {"500_0.jpg", "501_3.jpg", "503_0.jpg", "502x_0.jpg", "_502.jpg"}) {
    WriteAll(dir.File(name), "older photo");
  }
  EXPECT_EQ(FreeStamp(folder, 500), 502u);
  EXPECT_EQ(FreeStamp(folder, 503), 504u);
  EXPECT_EQ(FreeStamp(folder, 7), 7u);
}

TEST(PhotoNames, TheSearchWrapsPastTheLargestStamp) {
  TempDir dir;
  WriteAll(dir.File("4294967295_0.jpg"), "x");
  WriteAll(dir.File("0_0.jpg"), "x");
  EXPECT_EQ(FreeStamp(dir.path().string(), std::numeric_limits<uint32_t>::max()), 1u);
}

TEST(PhotoNames, AnUnreadableFolderKeepsTheWantedStamp) {
  TempDir dir;
  EXPECT_EQ(FreeStamp(dir.File("missing"), 42), 42u);
}

TEST(LowSpace, TheRunEndsBelowTheMinimumWithAClearMessage) {
  TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_FALSE(LowSpaceMessage(folder, 0).has_value());
  EXPECT_EQ(LowSpaceMessage(folder, std::numeric_limits<uint64_t>::max() & ~((1ull << 20) - 1)),
            "保存路径所在磁盘的剩余空间不足 17592186044415 MB，下载已停止：" + folder);
  EXPECT_FALSE(LowSpaceMessage(dir.File("missing"), kMinFreeSpace).has_value());
}

}  // namespace
}  // namespace tarn
