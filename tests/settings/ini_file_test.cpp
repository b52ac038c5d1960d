// SPDX-License-Identifier: MIT
#include "settings/ini_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <vector>

#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

TEST(IniFile, FirstWritesCreateExactlyTheSectionAndBothKeys) {
  TempDir dir;
  IniFile ini(dir.File("Config.ini"));
  ini.Write("Config", {{"DownLoad_Directory", ""}});
  ini.Write("Config", {{"DownLoad_Mode", "0"}});
  EXPECT_EQ(ReadAll(dir.File("Config.ini")),
            "[Config]\r\nDownLoad_Directory=\r\nDownLoad_Mode=0\r\n");
}

TEST(IniFile, ReplacesInPlaceAndKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path,
           "; hand-written note\n[Other]\r\nDownLoad_Mode=7\r\n\r\n[config]\r\n"
           "downLOAD_mode = 1\r\nExtra=x\r\n\r\n[Tail]\nk=v");
  IniFile ini(path);
  ini.Write("Config", {{"DownLoad_Mode", "0"}});
  EXPECT_EQ(ReadAll(path),
            "; hand-written note\n[Other]\r\nDownLoad_Mode=7\r\n\r\n[config]\r\n"
            "downLOAD_mode =0\r\nExtra=x\r\n\r\n[Tail]\nk=v");
}

TEST(IniFile, NewKeyGoesAfterTheLastLineOfItsSection) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Config]\r\nA=1\r\n\r\n[Next]\r\nB=2\r\n");
  IniFile ini(path);
  ini.Write("CONFIG", {{"DownLoad_Directory", "/home/u/相册"}});
  EXPECT_EQ(ReadAll(path),
            "[Config]\r\nA=1\r\nDownLoad_Directory=/home/u/相册\r\n\r\n[Next]\r\nB=2\r\n");
  EXPECT_EQ(ini.ReadString("config", "download_directory", "?"), "/home/u/相册");
}

TEST(IniFile, MissingSectionIsAppendedAfterALastLineWithoutLineEnd) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Other]\r\nk=v");
  IniFile(path).Write("Config", {{"DownLoad_Mode", "1"}});
  EXPECT_EQ(ReadAll(path), "[Other]\r\nk=v\r\n[Config]\r\nDownLoad_Mode=1\r\n");
}

// A file cut off after the CR of its last line: the CR already ends that line, so a new key
// must neither run on from it nor leave the CR in its value.
TEST(IniFile, NewKeyAfterALastLineEndedByALoneCarriageReturn) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, "[Config]\r\nDownLoad_Mode=1\r");
  IniFile ini(path);
  ini.Write("Config", {{"DownLoad_Directory", "/d"}});
  EXPECT_EQ(ReadAll(path), "[Config]\r\nDownLoad_Mode=1\r\nDownLoad_Directory=/d\r\n");
  EXPECT_EQ(ini.ReadString("Config", "DownLoad_Mode", "?"), "1");
  EXPECT_EQ(ini.ReadString("Config", "DownLoad_Directory", "?"), "/d");

  WriteAll(path, "[Other]\r\nk=v\r");
  ini.Write("Config", {{"DownLoad_Mode", "0"}});
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

// A folder that is a file refuses everyone, root included, so this runs under CI as well.
TEST(IniFile, RefusedWriteThrowsWithThePath) {
  TempDir dir;
  WriteAll(dir.File("plain"), "a file, not a folder");
  const std::string path = dir.File("plain/Config.ini");
  try {
    IniFile(path).Write("Config", {{"DownLoad_Mode", "0"}});
    FAIL() << "write below a file succeeded";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(error.Message(), "Unable to write to " + path);
  }
}

TEST(IniFile, MissingFolderRefusesTheWrite) {
  TempDir dir;
  const std::string path = dir.File("gone/Config.ini");
  EXPECT_THROW(IniFile(path).Write("Config", {{"DownLoad_Mode", "0"}}), EIniFileException);
}

TEST(IniFile, DirectoryInPlaceOfTheFileRefusesTheWrite) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  ASSERT_TRUE(std::filesystem::create_directory(path));
  EXPECT_THROW(IniFile(path).Write("Config", {{"DownLoad_Mode", "0"}}), EIniFileException);
  EXPECT_EQ(IniFile(path).ReadString("Config", "DownLoad_Mode", "d"), "d");
}

std::vector<std::string> NamesIn(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

constexpr const char* kOldFile = "[Config]\r\nDownLoad_Directory=/old\r\nDownLoad_Mode=1\r\n";

// Several keys, one write: the bytes are those of writing the keys one after the other, and
// nothing is left beside the file.
TEST(IniFile, OneWriteSetsEveryKeyInOrderAndLeavesNothingBeside) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  IniFile(path).Write("Config", {{"DownLoad_Directory", "/相册"}, {"DownLoad_Mode", "0"}});
  EXPECT_EQ(ReadAll(path), "[Config]\r\nDownLoad_Directory=/相册\r\nDownLoad_Mode=0\r\n");
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{"Config.ini"});
}

// File size limits, users and modes are POSIX systems' (the Windows build runs without them).
#ifndef _WIN32
// A disk that fills mid-write (here a file size limit, which refuses root too): the old file
// stays whole, and the half-written new one is gone.
TEST(IniFile, FailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, kOldFile);
  rlimit old_limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old_limit;
  small.rlim_cur = 16;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(IniFile(path).Write("Config", {{"DownLoad_Directory", "/new/and/much/longer"},
                                              {"DownLoad_Mode", "0"}}),
               EIniFileException);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ReadAll(path), kOldFile);
  EXPECT_EQ(NamesIn(dir), std::vector<std::string>{"Config.ini"});
}

// A folder holding a line break would split into two lines and read back cut short.
#endif

TEST(IniFile, ValueWithALineBreakIsRefusedAndTheFileStays) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, kOldFile);
  for (const char* folder : {"/a\nDownLoad_Mode=5", "/a\r", "\n"}) {
    try {
      IniFile(path).Write("Config", {{"DownLoad_Directory", folder}, {"DownLoad_Mode", "0"}});
      ADD_FAILURE() << "wrote " << folder;
    } catch (const EIniFileException& error) {
      EXPECT_EQ(error.Message(), "Unable to write to " + path + ": a value holds a line break");
    }
  }
  EXPECT_EQ(ReadAll(path), kOldFile);
}

#ifndef _WIN32
// Run in a child that is not root, since root may write anything: a read-only file stays
// refused although its folder would let a new one take its place.
TEST(IniFile, ReadOnlyFileInAWritableFolderIsRefused) {
  TempDir dir;
  const std::string path = dir.File("Config.ini");
  WriteAll(path, kOldFile);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    try {
      IniFile(path).Write("Config", {{"DownLoad_Mode", "0"}});
    } catch (const EIniFileException& error) {
      _exit(error.Message() == "Unable to write to " + path ? 0 : 3);
    }
    _exit(1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: written, 2: could not drop root, 3: other message";
  EXPECT_EQ(ReadAll(path), kOldFile);
}

TEST(IniFile, ReplacementKeepsPermissionsAndWritesThroughALink) {
  TempDir dir;
  const std::string real = dir.File("real.ini");
  const std::string link = dir.File("Config.ini");
  WriteAll(real, kOldFile);
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink(real, link);
  IniFile(link).Write("Config", {{"DownLoad_Mode", "0"}});
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadAll(real), "[Config]\r\nDownLoad_Directory=/old\r\nDownLoad_Mode=0\r\n");
  struct stat status {};
  ASSERT_EQ(stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

#endif

}  // namespace
}  // namespace tarn
