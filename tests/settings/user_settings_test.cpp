// SPDX-License-Identifier: MIT
#include "settings/user_settings.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

// A value that makes no sense leaves the default: the pause keeps its bounds, and a User-Agent
// that would break the request head or fold onto more lines is never sent.
TEST(UserSettings, ServiceKeysWithinTheirBoundsOrTheDefault) {
  const std::string agent_512(kMaxUserAgentBytes, 'a');
  const struct {
    std::string lines;
    ServiceSettings want;
  } cases[] = {
      {"Photo_Size= XL \r\nRequest_Pause= 0\r\nUser_Agent= Firefox/1 \r\nImage_Pause=7\r\n",
       {PhotoSize::kXl,
        std::chrono::milliseconds(0),
        "Firefox/1",
        std::chrono::milliseconds(7),
        {}}},
      {"Request_Pause=600000\r\nUser_Agent=" + agent_512 + "\r\n",
       {kDefaultPhotoSize, std::chrono::milliseconds(600000), agent_512, kDefaultImagePause, {}}},
      {"Photo_Size=huge\r\nRequest_Pause=600001\r\nImage_Pause=600001\r\nUser_Agent=" + agent_512 +
           "b\r\n",
       {}},
      {"Request_Pause=-1\r\nUser_Agent=a\rb\r\n", {}},
      {"Request_Pause=0x10\r\nUser_Agent=a\x01"
       "b\r\n",
       {}},
      {"Request_Pause=1e3\r\nUser_Agent=a\x7F\r\n", {}},
      {"User_Agent=a\tb\r\n", {}},
  };
  testing::TempDir dir;
  const std::string file = dir.File("Config.ini");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    testing::WriteAll(file, "[Config]\r\n" + c.lines);
    const ServiceSettings read =
        LoadServiceSettings(file, [](const char*) { return std::nullopt; });
    EXPECT_EQ(read.photo_size, c.want.photo_size);
    EXPECT_EQ(read.pause, c.want.pause);
    EXPECT_EQ(read.user_agent, c.want.user_agent);
    EXPECT_EQ(read.image_pause, c.want.image_pause);
  }
}

TEST(UserSettings, TheFolderAndModeAreWrittenAndTheServiceKeysNever) {
  testing::TempDir dir;
  const std::string file = dir.File("Config.ini");
  testing::WriteAll(file, "[Config]\r\nRequest_Pause=5\r\n");
  SaveUserSettings(file, "/srv/相册", 1);
  const UserSettings read = LoadUserSettings(file, [](const char*) { return std::nullopt; });
  EXPECT_EQ(read.folder, "/srv/相册");
  EXPECT_EQ(read.mode, "1");
  EXPECT_EQ(read.service.pause, std::chrono::milliseconds(5));
  EXPECT_EQ(testing::ReadAll(file),
            "[Config]\r\nRequest_Pause=5\r\nDownLoad_Directory=/srv/相册\r\nDownLoad_Mode=1\r\n");
}

}  // namespace
}  // namespace tarn
