// SPDX-License-Identifier: MIT
// What only a signed-in visitor's pages give: private photos' ids and large addresses, a
// person's albums and the folders they are saved in.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "download/album_list_scanner.h"
#include "download/person_albums_source.h"
#include "download/private_photo.h"

namespace tarn {
namespace {

TEST(PrivatePhotoId, OnlyTheTokenFormGivesAnId) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"https://img9.doubanio.com/view/photo/m/aB9_x/63025111/x2290455503.jpg", "p2290455503"},
      {"https://i/view/photo/m/public/p2290455503.jpg", std::nullopt},
      {"https://i/view/photo/m/t/u/v/x1.jpg", std::nullopt},
      {"https://i/view/photo/m/t/u/x1a.jpg", std::nullopt},
      {"https://i/view/photo/m/t/u/x.jpg", std::nullopt},
  };
  for (const auto& [address, id] : cases) EXPECT_EQ(PrivatePhotoId(address), id) << address;
}

TEST(MainPhotoAddress, TheFirstImageOfTheMainPhotoOnly) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"<img src='https://i/cover.jpg'><div class=\"mainphoto\"><a><img width=1 "
       "src='https://i/l/x1.jpg?a=1&amp;b=2'></a></div>",
       "https://i/l/x1.jpg?a=1&b=2"},
      {"<div class=\"image-show-inner big\"><img src=\"https://i/l/x2.jpg\"></div>",
       "https://i/l/x2.jpg"},
      {"<div class=\"mainphotos\"><img src=\"https://i/l/x3.jpg\"></div>", std::nullopt},
      {"<div class=\"mainphoto\"><img alt=\"no address\"></div>", std::nullopt},
      {"<div class=\"mainphoto\"", std::nullopt},
  };
  for (const auto& [page, address] : cases) EXPECT_EQ(MainPhotoAddress(page), address) << page;
}

TEST(ScanAlbumList, EachAlbumOnceTitledByItsLinkWithText) {
  std::vector<ListedAlbum> albums;
  ScanAlbumList(
      "<a href=\"https://h/photos/album/7/\"><img src=\"c.jpg\"></a>"
      "<a href=\"https://h/photos/album/7/\">西湖 &amp; <b>断桥</b></a>"
      "<a href=\"https://h/photos/album/8?x=1\">八</a><a href=\"https://h/photos/album/9x/\">no</a>"
      "<a href=\"https://h/people/a/photos?start=16\">后页</a>",
      [&](ListedAlbum album) { albums.push_back(std::move(album)); });
  ASSERT_EQ(albums.size(), 2u);
  EXPECT_EQ(albums[0].id, "7");
  EXPECT_EQ(albums[0].title, "西湖 & 断桥");
  EXPECT_EQ(albums[1].address, "https://h/photos/album/8?x=1");
}

std::string Times(size_t count, const std::string& piece) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(AlbumFolderName, SafeOnEverySystemAndShort) {
  const std::string long_id(20, '9'), emoji = "\xF0\x9F\x8C\x8A", han = "湖";
  const struct {
    std::string id, title, name;
  } cases[] = {
      {"7", "西湖十景", "7 西湖十景"},
      {"7", "a/b\\c:d*e?f\"g<h>i|j", "7 a_b_c_d_e_f_g_h_i_j"},
      {"7", "..", "7"},
      {"7", "end. ", "7 end"},
      {"7", "\x1B[2Jline\nbreak", "7 [2Jline break"},
      {"7", "", "7"},
      {"7", std::string(80, 'a'), "7 " + std::string(80, 'a')},
      {"7", std::string(100, 'a'), "7 " + std::string(79, 'a') + "…"},
      // Under 80 characters, over the bytes a file system takes.
      {"7", Times(64, emoji), "7 " + Times(58, emoji) + "…"},
      {long_id, Times(80, han), long_id + " " + Times(72, han) + "…"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    const std::string name = AlbumFolderName(c.id, c.title);
    EXPECT_EQ(name, c.name);
    EXPECT_LE(name.size(), 240u);
  }
}

}  // namespace
}  // namespace tarn
