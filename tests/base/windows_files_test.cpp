// SPDX-License-Identifier: MIT
// What only Windows does to names: UTF-8 inside the program, UTF-16 at the system.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/file_path.h"
#include "base/free_space.h"
#include "base/safe_replace.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// The program's UTF-8 names must reach the system as the same characters, not as the 8-bit
// code page's reading of their bytes.
TEST(WindowsNames, Utf8NamesAreTheSameNamesOnDisk) {
  testing::TempDir dir;
  const std::string folder = FileInFolder(Utf8FromPath(dir.path()), "湖光 相册");
  ASSERT_TRUE(std::filesystem::create_directory(PathFromUtf8(folder)));
  const std::string file = FileInFolder(folder, "小集.ini");
  ReplaceFileContents(file, "a");
  ReplaceFileContents(file, "b");  // over the old one
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((dir.path() / L"湖光 相册" / L"*.ini").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::wstring(found.cFileName), L"小集.ini");
  EXPECT_FALSE(FindNextFileW(search, &found));  // no temporary file left beside it
  FindClose(search);
  EXPECT_EQ(testing::ReadAll(file), "b");
  EXPECT_TRUE(FreeSpace(folder).has_value());
  EXPECT_FALSE(FreeSpace(FileInFolder(folder, "没有")).has_value());
}

}  // namespace
}  // namespace tarn
