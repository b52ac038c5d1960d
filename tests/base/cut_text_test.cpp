// SPDX-License-Identifier: MIT
#include "base/cut_text.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/free_space.h"

namespace tarn {
namespace {

TEST(CutText, KeepsShortTextsAndCutsLongOnesAtACharacter) {
  const struct {
    std::string text;
    size_t characters;
    std::string cut;
  } cases[] = {
      {"", 3, ""},
      {"abc", 3, "abc"},
      {"abcd", 3, "abc…"},
      {"湖光小集", 4, "湖光小集"},
      {"湖光小集", 2, "湖光…"},
      {"a湖b", 2, "a湖…"},
      {"😀😀x", 1, "😀…"},
      {"abc", 0, "…"},
      // A stray continuation byte belongs to the character before it.
      {"a\x80\x80"
       "bc",
       1, "a\x80\x80…"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutText(c.text, c.characters), c.cut) << c.text;
}

TEST(CutText, A16KilobyteLineBecomesAboutTwoHundredCharacters) {
  const std::string cut = CutText(std::string(16384, 'x'));
  EXPECT_EQ(cut, std::string(kQuotedTextCharacters, 'x') + "…");
}

TEST(FreeSpace, TellsTheDiskOfAFolderAndNothingForAMissingOne) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  const std::optional<uint64_t> free = FreeSpace(folder.string());
  ASSERT_TRUE(free.has_value());
  EXPECT_EQ(*free > 0, std::filesystem::space(folder).available > 0);
  EXPECT_FALSE(FreeSpace((folder / "tarn_no_such_folder" / "below").string()).has_value());
}

}  // namespace
}  // namespace tarn
