// SPDX-License-Identifier: MIT
// What only Windows does to names: devices and refused characters, UTF-16 at the system.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/file_name.h"
#include "base/file_path.h"
#include "base/free_space.h"
#include "base/safe_replace.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

TEST(SystemSafeFileName, DevicesAndRefusedCharactersNeverPassUnchanged) {
  const struct {
    const char* name;
    const char* safe;
  } cases[] = {
      {"CON", "CON_"},
      {"aux.txt", "aux_.txt"},          // a device before an extension
      {"Com1.tar.gz", "Com1_.tar.gz"},  // any case, the first dot counts
      {"lpt9 .jpg", "lpt9 _.jpg"},      // blanks before the dot are dropped by Windows
      {"console.jpg", "console.jpg"},   // only the whole name is a device
      {"COM10", "COM10"},
      {"a<b>c:d\"e|f?g*h", "a_b_c_d_e_f_g_h"},
      {"a/b\\c", "a_b_c"},
      {"tab\tname", "tab_name"},
      {"name.", "name_"},  // Windows would drop the dot
      {"name ", "name_"},
      {"湖光.jpg", "湖光.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(SystemSafeFileName(c.name), c.safe) << c.name;
}

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
