// SPDX-License-Identifier: MIT
#include "settings/app_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/safe_replace.h"
#include "settings/error_text.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// The delimiter SettingsPath puts in: the system's own.
const std::string kSlash(1, static_cast<char>(std::filesystem::path::preferred_separator));

std::string Joined(const std::string& folder, std::initializer_list<const char*> names) {
  std::filesystem::path path(folder);
  for (const char* name : names) path /= name;
  return path.string();
}

TEST(ExtractAppDir, DropsTheLastDelimiterExceptARootOne) {
  EXPECT_EQ(ExtractAppDir("/opt/tarn/tarn"), "/opt/tarn");
  EXPECT_EQ(ExtractAppDir("/tarn"), "/");
  EXPECT_EQ(ExtractAppDir(R"(C:\Tools\Tarn.exe)"), R"(C:\Tools)");
  EXPECT_EQ(ExtractAppDir(R"(C:\Tarn.exe)"), R"(C:\)");
  EXPECT_EQ(ExtractAppDir("C:Tarn.exe"), "C");
  EXPECT_EQ(ExtractAppDir("tarn"), "");
}

TEST(SettingsPath, RootGivesTwoDelimitersInARow) {
#ifdef _WIN32
  EXPECT_EQ(SettingsPath(R"(C:\Tools)"), R"(C:\Tools\Config.ini)");
  EXPECT_EQ(SettingsPath(ExtractAppDir(R"(C:\Tarn.exe)")), R"(C:\\Config.ini)");
#else
  EXPECT_EQ(SettingsPath("/opt/tarn"), "/opt/tarn/Config.ini");
  EXPECT_EQ(SettingsPath(ExtractAppDir("/tarn")), "//Config.ini");
#endif
}

TEST(SettingsPlace, AFolderTakesNewFilesOnlyWhenOneCanBeMadeThere) {
  testing::TempDir dir;
  EXPECT_TRUE(FolderTakesNewFiles(dir.path().string()));
  testing::WriteAll(dir.File("plain"), "x");
  EXPECT_FALSE(FolderTakesNewFiles(dir.File("plain")));
  EXPECT_FALSE(FolderTakesNewFiles(dir.File("missing")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

class SettingsPlaceTest : public ::testing::Test {
 protected:
  std::string Choose(const char* config_home, const char* home, bool writable) {
    return ChooseSettingsPath(program_, config_home, home, [&](const std::string& folder) {
      EXPECT_EQ(folder, program_);
      return writable;
    });
  }
  testing::TempDir dir;
  const std::string program_ = dir.File("bin");
  const std::string home_ = dir.File("home");
  const std::string config_ = dir.File("config");
  void SetUp() override { std::filesystem::create_directory(program_); }
};

TEST_F(SettingsPlaceTest, BesideTheProgramWhileItsFolderTakesFiles) {
  EXPECT_EQ(Choose(config_.c_str(), home_.c_str(), true), program_ + kSlash + "Config.ini");
  EXPECT_FALSE(std::filesystem::exists(config_));
}

TEST_F(SettingsPlaceTest, ReadOnlyProgramFolderMovesToTheUsersConfigurationFolder) {
  EXPECT_EQ(Choose(config_.c_str(), home_.c_str(), false), Joined(config_, {"tarn", "Config.ini"}));
  EXPECT_TRUE(std::filesystem::is_directory(config_ + "/tarn"));
  EXPECT_EQ(Choose(nullptr, home_.c_str(), false),
            Joined(home_, {".config", "tarn", "Config.ini"}));
  EXPECT_EQ(Choose("", home_.c_str(), false), Joined(home_, {".config", "tarn", "Config.ini"}));
  EXPECT_EQ(Choose("relative/dir", home_.c_str(), false),
            Joined(home_, {".config", "tarn", "Config.ini"}));
  // Nowhere else to go: beside the program, where the save reports why it cannot write.
  EXPECT_EQ(Choose(nullptr, nullptr, false), program_ + kSlash + "Config.ini");
  EXPECT_EQ(ChooseSettingsPath(dir.File("gone"), config_.c_str(), home_.c_str(),
                               [](const std::string&) { return false; }),
            dir.File("gone") + kSlash + "Config.ini");
}

// A home that cannot hold the settings folder: the failure names that folder.
TEST_F(SettingsPlaceTest, AUsersFolderThatCannotBeMadeIsNamedAsTheOneTried) {
  testing::WriteAll(home_, "a file, not a folder");
  try {
    ADD_FAILURE() << Choose(nullptr, home_.c_str(), false);
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find(Joined(home_, {".config", "tarn"})), std::string::npos)
        << error.what();
  }
}

TEST_F(SettingsPlaceTest, AFileBesideAReadOnlyProgramCarriesOverOnce) {
  testing::WriteAll(program_ + kSlash + "Config.ini", "[Config]\r\nDownLoad_Mode=1\r\n");
  const std::string own = Choose(config_.c_str(), home_.c_str(), false);
  EXPECT_EQ(testing::ReadAll(own), "[Config]\r\nDownLoad_Mode=1\r\n");
  testing::WriteAll(own, "[Config]\r\nDownLoad_Mode=0\r\n");
  EXPECT_EQ(Choose(config_.c_str(), home_.c_str(), false), own);
  EXPECT_EQ(testing::ReadAll(own), "[Config]\r\nDownLoad_Mode=0\r\n");
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
