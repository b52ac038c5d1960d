// SPDX-License-Identifier: MIT
#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

TEST(IniFile, FirstWritesCreateExactlyTheSectionAndBothKeys) {
  TempDir dir;
  IniFile ini(dir.File("Config.ini"));
  ini.WriteString("Config", "DownLoad_Directory", "");
  ini.WriteString("Config", "DownLoad_Mode", "0");
  EXPECT_EQ(ReadAll(ini.Path()), "[Config]\r\nDownLoad_Directory=\r\nDownLoad_Mode=0\r\n");
}

TEST(IniFile, ReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path,
           "; hand-written note\n[Other]\r\nDownLoad_Mode=7\r\n\r\n[config]\r\n"
           "downLOAD_mode = 1\r\nExtra=x\r\n\r\n[Tail]\nk=v");
  IniFile ini(path);
  ini.WriteString("Config", "DownLoad_Mode", "0");
  EXPECT_EQ(ReadAll(path),
            "; hand-written note\n[Other]\r\nDownLoad_Mode=7\r\n\r\n[config]\r\n"
            "downLOAD_mode =0\r\nExtra=x\r\n\r\n[Tail]\nk=v");
}

TEST(IniFile, NewKeyGoesAfterTheLastLineOfItsSection) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Config]\r\nA=1\r\n\r\n[Next]\r\nB=2\r\n");
  IniFile ini(path);
  ini.WriteString("CONFIG", "DownLoad_Directory", "/home/u/相册");
  EXPECT_EQ(ReadAll(path),
            "[Config]\r\nA=1\r\nDownLoad_Directory=/home/u/相册\r\n\r\n[Next]\r\nB=2\r\n");
  EXPECT_EQ(ini.ReadString("config", "download_directory", "?"), "/home/u/相册");
}

TEST(IniFile, MissingSectionIsAppendedAfterALastLineWithoutLineEnd) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Other]\r\nk=v");
  IniFile(path).WriteString("Config", "DownLoad_Mode", "1");
  EXPECT_EQ(ReadAll(path), "[Other]\r\nk=v\r\n[Config]\r\nDownLoad_Mode=1\r\n");
}

// A file cut off after the CR of its last line: the CR already ends that line, so a new key
// must neither run on from it nor leave the CR in its value.
TEST(IniFile, NewKeyAfterALastLineEndedByALoneCarriageReturn) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Config]\r\nDownLoad_Mode=1\r");
  IniFile ini(path);
  ini.WriteString("Config", "DownLoad_Directory", "/d");
  EXPECT_EQ(ReadAll(path), "[Config]\r\nDownLoad_Mode=1\r\nDownLoad_Directory=/d\r\n");
  EXPECT_EQ(ini.ReadString("Config", "DownLoad_Mode", "?"), "1");
  EXPECT_EQ(ini.ReadString("Config", "DownLoad_Directory", "?"), "/d");

  WriteAll(path, "[Other]\r\nk=v\r");
  ini.WriteString("Config", "DownLoad_Mode", "0");
  EXPECT_EQ(ReadAll(path), "[Other]\r\nk=v\r\n[Config]\r\nDownLoad_Mode=0\r\n");
  EXPECT_EQ(ini.ReadString("Other", "k", "?"), "v");
}

TEST(IniFile, ReadGivesFallbackForMissingFileSectionOrKey) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  EXPECT_EQ(IniFile(path).ReadString("Config", "DownLoad_Mode", "dflt"), "dflt");
  WriteAll(path, "[Config]\r\nDownLoad_Directory=x\r\n[Mode]\r\nDownLoad_Mode=1\r\n");
  EXPECT_EQ(IniFile(path).ReadString("Config", "DownLoad_Mode", ""), "");
  EXPECT_EQ(IniFile(path).ReadString("Absent", "DownLoad_Directory", "d"), "d");
}

TEST(IniFile, ReadTrimsBlanksAndOnePairOfQuotes) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Config]\r\n  Key1 =  \"/a b/\"  \r\nKey2='x\r\nKey3=\"\"\r\n");
  IniFile ini(path);
  EXPECT_EQ(ini.ReadString("Config", "Key1", ""), "/a b/");
  EXPECT_EQ(ini.ReadString("Config", "Key2", ""), "'x");
  EXPECT_EQ(ini.ReadString("Config", "Key3", "?"), "");
}

TEST(IniFile, LongValueArrivesCutTo2047Characters) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  const std::string folder = "/" + std::string(2999, 'f');
  WriteAll(path, "[Config]\r\nDownLoad_Directory=" + folder + "\r\n");
  EXPECT_EQ(IniFile(path).ReadString("Config", "DownLoad_Directory", ""), folder.substr(0, 2047));
}

TEST(IniFile, CutNeverLeavesHalfACharacter) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  std::string value(2045, 'a');
  value += "湖光";  // three bytes each: the first straddles the limit
  WriteAll(path, "[Config]\r\nK=" + value + "\r\n");
  EXPECT_EQ(IniFile(path).ReadString("Config", "K", ""), std::string(2045, 'a'));
}

TEST(IniFile, RefusedWriteThrowsWithThePath) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  try {
    IniFile(path).WriteString("Config", "DownLoad_Mode", "0");
    FAIL() << "write into a read-only folder succeeded";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + path);
  }
}

TEST(IniFile, MissingFolderRefusesTheWrite) {
  TempDir dir;
  const std::string path = dir.File("gone/Config.ini");
  EXPECT_THROW(IniFile(path).WriteString("Config", "DownLoad_Mode", "0"), EIniFileException);
}

TEST(IniFile, DirectoryInPlaceOfTheFileRefusesTheWrite) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  EXPECT_THROW(IniFile(path).WriteString("Config", "DownLoad_Mode", "0"), EIniFileException);
  EXPECT_EQ(IniFile(path).ReadString("Config", "DownLoad_Mode", "d"), "d");
}

}  // namespace
}  // namespace tarn
