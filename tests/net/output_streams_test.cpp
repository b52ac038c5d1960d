// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "net/file_stream.h"
#include "net/memory_stream.h"
#include "net/socket_errors.h"

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
  {
    std::ofstream old(path_, std::ios::binary);
    old << "old contents that are longer";
  }
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
  EXPECT_EQ(FileContents(path_), "hello!");
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
