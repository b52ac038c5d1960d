// SPDX-License-Identifier: MIT
#include "download/album_facts.h"

#include <gtest/gtest.h>

#include <string>

namespace tarn {
namespace {

TEST(ReadAlbumFacts, TodaysPageGivesTitleCountAndDescription) {
  const std::string page =
      "<html><head><title>\n  湖畔摄影的相册-西湖十景 &amp; 更多\n</title></head><body>"
      "<div class=\"pl photitle\"><span>共1055张照片</span></div>"
      "<p class=\"description\">春天的<a href=\"x\">西湖</a>，&quot;断桥&quot;<br/>第二行 </p>"
      "<p class=\"description\">not this one</p></body></html>";
  const AlbumFacts facts = ReadAlbumFacts(page);
  EXPECT_EQ(facts.title, "西湖十景 & 更多");
  EXPECT_EQ(facts.description, "春天的西湖，\"断桥\"\n第二行");
  EXPECT_EQ(facts.photo_count, 1055);
}

TEST(ReadAlbumFacts, TitleWithoutOwnerIsTakenWholeAndOnlyTheFirstOwnerPartGoes) {
  struct Case {
    std::string title, want;
  };
  const Case cases[] = {
      {"<title> 只有标题 </title>", "只有标题"},
      {"<title>甲的相册-乙的相册-丙</title>", "乙的相册-丙"},
      {"<title>甲的相册-</title>", ""},
      {"<title>never closed", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAlbumFacts(c.title).title, c.want) << c.title;
}

TEST(ReadAlbumFacts, CountNeedsDigitsBetweenItsWords) {
  struct Case {
    std::string page;
    std::optional<int64_t> want;
  };
  const Case cases[] = {
      {"共40张照片", 40},
      {"(共40张) 共 3张照片 共张照片 共7张照片", 7},
      {"共40张", std::nullopt},
      {"共99999999999999999999张照片 共5张照片", 5},  // too many digits to be a count
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadAlbumFacts(c.page).photo_count, c.want) << c.page;
}

TEST(ReadAlbumFacts, HostileDescriptionIsBounded) {
  const std::string page =
      "<p class=\"description\">" + std::string(1 << 20, 'x') + "</p>" + std::string(1000, '<');
  EXPECT_LE(ReadAlbumFacts(page).description.size(), 64u * 1024u);
  EXPECT_EQ(ReadAlbumFacts("<p class=\"description\">unclosed").description, "");
}

TEST(AlbumIsNotPublic, PrivateAlbumPageIsRecognised) {
  EXPECT_TRUE(AlbumIsNotPublic("<div>这个相册已被设为仅自己可见</div>"));
  EXPECT_TRUE(AlbumIsNotPublic("这个相册已被设为仅朋友可见"));
  EXPECT_FALSE(AlbumIsNotPublic("<div>这个相册</div>"));
  // The owner's own words are no notice: a description, a caption, text after other text.
  EXPECT_FALSE(AlbumIsNotPublic("<p class=\"description\">这个相册已被设为公开</p>"));
  EXPECT_FALSE(AlbumIsNotPublic("<a class=\"photolst_photo\" title=\"这个相册已被设为x\">"));
  EXPECT_FALSE(AlbumIsNotPublic("<a title=\"这个相册已被设为x\"></a>"));
  EXPECT_FALSE(AlbumIsNotPublic("<div>我说这个相册已被设为私密</div>"));
}

}  // namespace
}  // namespace tarn
