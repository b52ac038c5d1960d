// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/socket/socket_errors.h"
#include "net/stream/file_stream.h"
#include "net/stream/memory_stream.h"

namespace tarn::net {
namespace {

std::string FileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

class FileStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("tarn_file_stream_" + std::to_string(getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::filesystem::path path_;
};

TEST(MemoryStream, WritesSeeksAndTruncates) {
  MemoryStream stream(100);
  stream.Write("abcdef");
  stream.Seek(2);
  stream.Write("XY");
  EXPECT_EQ(stream.Position(), 4u);
  stream.Truncate();
  EXPECT_EQ(stream.Take(), "abXY");
}

TEST(MemoryStream, RefusesToGrowPastItsLimit) {
  MemoryStream stream(8);
  EXPECT_THROW(stream.Reserve(9), EIdException);
  stream.Write("12345678");
  EXPECT_THROW(stream.Write("9"), EIdException);
  EXPECT_EQ(stream.Take(), "12345678");
}

TEST_F(FileStreamTest, CreatesEmptyWritesAndEndsAtThePosition) {
  FileStream stream(path_.string());
  EXPECT_EQ(FileContents(path_), "");
  stream.Reserve(1000);
  stream.Write("hello world");
  EXPECT_EQ(FileContents(path_), "hello world");  // the reservation does not show
  stream.Seek(5);
  stream.Truncate();
  EXPECT_EQ(FileContents(path_), "hello");
  stream.Write("!");
  EXPECT_EQ(stream.Position(), 6u);
  EXPECT_EQ(FileContents(path_), "hello!");  // Written over inside the file, then cut there; then
                                             // moved past the end and cut: a gap.
  stream.Seek(3);
  stream.Write("p");
  stream.Truncate();
  EXPECT_EQ(FileContents(path_), "help");
  stream.Seek(6);
  stream.Truncate();
  EXPECT_EQ(FileContents(path_), std::string("help\0\0", 6));
}

TEST_F(FileStreamTest, RewindEmptiesForAnotherAttempt) {
  FileStream stream(path_.string());
  stream.Write("half a photo");
  stream.Rewind();
  EXPECT_EQ(stream.Position(), 0u);
  EXPECT_EQ(FileContents(path_), "");
  stream.Write("photo");
  EXPECT_EQ(FileContents(path_), "photo");
}

// A run stamp that repeats after a reboot must not replace an older photo of the same name.
TEST_F(FileStreamTest, AnExistingFileIsNeverOverwritten) {
  {
    std::ofstream old(path_, std::ios::binary);
    old << "an older photo";
  }
  EXPECT_THROW(FileStream stream(path_.string()), FileNameTaken);
  EXPECT_EQ(FileContents(path_), "an older photo");
}

TEST_F(FileStreamTest, ASymbolicLinkIsNeverFollowed) {
  const std::filesystem::path target = path_.string() + ".target";
  const std::filesystem::path dangling = path_.string() + ".nowhere";
  {
    std::ofstream old(target, std::ios::binary);
    old << "someone else's file";
  }
  std::error_code refused;
  std::filesystem::create_symlink(target, path_, refused);
  if (refused) GTEST_SKIP() << "this system makes no symbolic links: " << refused.message();
  EXPECT_THROW(FileStream stream(path_.string()), FileNameTaken);
  EXPECT_EQ(FileContents(target), "someone else's file");
  std::filesystem::remove(path_);
  std::filesystem::create_symlink(dangling, path_);
  EXPECT_THROW(FileStream stream(path_.string()), FileNameTaken);
  EXPECT_FALSE(std::filesystem::exists(dangling));
  std::filesystem::remove(target);
}

TEST_F(FileStreamTest, CloseReportsAndLaterWritesFail) {
  FileStream stream(path_.string());
  stream.Write("photo");
  stream.Close();
  EXPECT_EQ(FileContents(path_), "photo");
  EXPECT_THROW(stream.Write("more"), FileStreamError);
  EXPECT_THROW(stream.Close(), FileStreamError);
}

TEST_F(FileStreamTest, MissingFolderFailsWithTheReason) {
  try {
    FileStream stream((path_ / "no" / "such.jpg").string());
    FAIL() << "opened";
  } catch (const FileStreamError& error) {
    EXPECT_NE(error.Message().find("such.jpg"), std::string::npos);
  }
}

}  // namespace
}  // namespace tarn::net
