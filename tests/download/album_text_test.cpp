// SPDX-License-Identifier: MIT
#include "download/album_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "net/stream/file_stream.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::TempDir;

constexpr std::string_view kAddress = "https://www.douban.com/photos/album/1681427427/";

TEST(AlbumIdFromAddress, DigitsAfterTheAlbumSegment) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {std::string(kAddress), "1681427427"},
      {"https://h/photos/album/42?m_start=18", "42"},
      {"http://h/photos/album/x42/", std::nullopt},
      {"https://h/photos/photo/42/", std::nullopt},
      {"https://h/photos/album/" + std::string(30, '9'), std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [address, id] : cases) EXPECT_EQ(AlbumIdFromAddress(address), id) << address;
}

TEST(FormatAlbumText, FactsThenOneLinePerPhotoInOrder) {
  AlbumFacts facts{"西湖十景", "第一行\r\n第二行\t尾", 3};
  const std::vector<AlbumTextEntry> photos = {
      {"p1.jpg", "苏堤 \"春晓\""}, {"p2.webp", "两行\n说明\r还有\t制表"}, {"p3.jpg", ""}};
  EXPECT_EQ(FormatAlbumText(facts, kAddress, photos),
            "标题：西湖十景\n"
            "简介：第一行 第二行 尾\n"
            "地址：https://www.douban.com/photos/album/1681427427/\n"
            "照片：3 张\n"
            "\n"
            "p1.jpg\t苏堤 \"春晓\"\n"
            "p2.webp\t两行 说明 还有 制表\n"
            "p3.jpg\t\n");
}

TEST(FormatAlbumText, CountFallsBackToThePhotosListed) {
  const std::string text = FormatAlbumText(AlbumFacts{}, kAddress, {{"a.jpg", "x"}});
  EXPECT_NE(text.find("\n照片：1 张\n"), std::string::npos);
}

TEST(WriteAlbumText, WrittenWholeAndRewrittenOnTheNextRun) {
  TempDir dir;
  const std::string folder = dir.path().string();
  const std::string path =
      WriteAlbumText(folder, kAddress, AlbumFacts{"t", "", 2}, {{"p1.jpg", "a"}, {"p2.jpg", "b"}});
  EXPECT_EQ(path, dir.File("album_1681427427.txt"));
  EXPECT_EQ(ReadAll(path),
            FormatAlbumText(AlbumFacts{"t", "", 2}, kAddress, {{"p1.jpg", "a"}, {"p2.jpg", "b"}}));
  // A leftover of a killed save never blocks the next write.
  testing::WriteAll(path + "." + std::to_string(::getpid()) + ".tmp", "left by a killed run");
  WriteAlbumText(folder, kAddress, AlbumFacts{"t2", "", 1}, {{"p1.jpg", "a"}});
  EXPECT_EQ(ReadAll(path), FormatAlbumText(AlbumFacts{"t2", "", 1}, kAddress, {{"p1.jpg", "a"}}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(WriteAlbumText(folder, "https://h/no/id", AlbumFacts{}, {}), dir.File("album.txt"));
}

TEST(WriteAlbumText, FailureLeavesNoTemporaryFileAndKeepsTheOldText) {
  TempDir dir;
  EXPECT_THROW(WriteAlbumText((dir.path() / "gone").string(), kAddress, AlbumFacts{}, {}),
               net::FileStreamError);
  // A directory in the text's place: the rename fails and the file beside it goes.
  std::filesystem::create_directories(dir.path() / "album_1681427427.txt" / "x");
  EXPECT_THROW(WriteAlbumText(dir.path().string(), kAddress, AlbumFacts{}, {}),
               net::FileStreamError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace tarn
