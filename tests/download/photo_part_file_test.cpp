// SPDX-License-Identifier: MIT
#include "download/photo_part_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;
using testing::WriteAll;

const std::string kJpeg = "\xFF\xD8\xFF\xE0 a jpeg";
const std::string kWebp = std::string("RIFF\x10\0\0\0WEBPVP8 data", 20);

// The names in the folder, sorted.
std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(PhotoPartFile, WrittenToPartThenNamedByItsBytes) {
  struct Case {
    std::string bytes, name;
  };
  const Case cases[] = {
      {kJpeg, "p1.jpg"}, {kWebp, "p1.webp"}, {"<html>", "p1.jpg"}, {"", "p1.jpg"}};
  for (const Case& c : cases) {
    TempDir dir;
    PhotoPartFile file(dir.path().string(), "p1");
    file.Stream().Write(c.bytes);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"p1.part"});
    const SavedPhoto saved = file.Commit();
    EXPECT_EQ(saved.path, dir.File(c.name));
    EXPECT_FALSE(saved.existed);
    EXPECT_EQ(Names(dir), std::vector<std::string>{c.name});
    EXPECT_EQ(ReadAll(saved.path), c.bytes);
  }
}

TEST(PhotoPartFile, NoPartSurvivesAFailureOrAStop) {
  TempDir dir;
  {
    PhotoPartFile file(dir.path().string(), "p1");
    file.Stream().Write(kJpeg.substr(0, 3));
  }
  EXPECT_TRUE(Names(dir).empty());
}

TEST(PhotoPartFile, StalePartFromAKilledRunIsReplaced) {
  TempDir dir;
  WriteAll(dir.File("p1.part"), "stale bytes of an earlier run, longer than the photo");
  PhotoPartFile file(dir.path().string(), "p1");
  file.Stream().Write("half of a 404 page that is long");
  file.Stream().Rewind();  // a failed attempt's bytes go too
  file.Stream().Write(kWebp);
  EXPECT_EQ(ReadAll(file.Commit().path), kWebp);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"p1.webp"});
}

// The photo is judged as it is written, never read back: a new attempt judges afresh, and
// bytes not written in one run from the start are never called whole.
TEST(PhotoPartFile, JudgedAsWrittenAttemptByAttempt) {
  const std::string whole = std::string("\xFF\xD8\xFF\xE0\x00\x02\xFF\xD9", 8);
  TempDir dir;
  PhotoPartFile file(dir.path().string(), "p1");
  EXPECT_EQ(file.Judge(), PhotoBytes::kEmpty);
  file.Stream().Write(whole.substr(0, 5));
  EXPECT_EQ(file.Judge(), PhotoBytes::kCut);
  file.Stream().Rewind();
  file.Stream().Write(whole.substr(0, 5));
  file.Stream().Write(whole.substr(5));
  file.Stream().Truncate();
  EXPECT_EQ(file.Judge(), PhotoBytes::kPhoto);
  file.Stream().Seek(2);
  file.Stream().Write(whole.substr(2));
  EXPECT_EQ(file.Judge(), PhotoBytes::kCut);
  file.Stream().Seek(0);
  file.Stream().Write(whole);
  file.Stream().Seek(4);
  file.Stream().Truncate();
  EXPECT_EQ(file.Judge(), PhotoBytes::kCut);
  EXPECT_EQ(ReadAll(file.PartPath()), whole.substr(0, 4));
}

TEST(PhotoPartFile, ExistingFinalFileIsNeverOverwrittenNorRenamedAround) {
  TempDir dir;
  WriteAll(dir.File("p1.jpg"), "saved before");
  PhotoPartFile file(dir.path().string(), "p1");
  file.Stream().Write(kJpeg);
  const SavedPhoto saved = file.Commit();
  EXPECT_TRUE(saved.existed);
  EXPECT_EQ(saved.path, dir.File("p1.jpg"));
  EXPECT_EQ(ReadAll(dir.File("p1.jpg")), "saved before");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"p1.jpg"});
}

TEST(PhotoPartFile, FolderThatIsGoneRaisesAFileError) {
  TempDir dir;
  EXPECT_THROW(PhotoPartFile((dir.path() / "missing").string(), "p1"), net::FileStreamError);
  std::optional<PhotoPartFile> file;
  file.emplace(dir.path().string(), "p1");
  file->Stream().Write(kJpeg);
  // A directory where the photo's name should go: the rename fails, the .part goes.
  fs::create_directory(dir.path() / "p1.jpg" / "");
  fs::create_directory(dir.path() / "p1.jpg" / "inside");
  EXPECT_ANY_THROW(file->Commit());
  file.reset();
  EXPECT_EQ(Names(dir), std::vector<std::string>{"p1.jpg"});
  EXPECT_TRUE(fs::is_directory(dir.path() / "p1.jpg"));
}

TEST(AlreadySaved, AnyFinalExtensionAsARegularFile) {
  TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_FALSE(AlreadySaved(folder, "p1"));
  WriteAll(dir.File("p1.part"), "partial");
  WriteAll(dir.File("p1.png"), "not ours");
  fs::create_directory(dir.path() / "p2.jpg");
  EXPECT_FALSE(AlreadySaved(folder, "p1"));
  EXPECT_FALSE(AlreadySaved(folder, "p2"));
  WriteAll(dir.File("p1.webp"), kWebp);
  EXPECT_TRUE(AlreadySaved(folder, "p1"));
  EXPECT_EQ(SavedPhotoPath(folder, "p1"), dir.File("p1.webp"));
  WriteAll(dir.File("p3.jpg"), kJpeg);
  EXPECT_EQ(SavedPhotoPath(folder, "p3"), dir.File("p3.jpg"));
}

}  // namespace
}  // namespace tarn
