// SPDX-License-Identifier: MIT
#include "download/poster_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/today_scanner.h"

namespace tarn {
namespace {

std::vector<PosterPhoto> Scan(std::string_view page, std::string_view* rest = nullptr) {
  std::vector<PosterPhoto> found;
  const std::string_view left = ScanPosterPhotos(page, [&](PosterPhoto p) { found.push_back(p); });
  if (rest != nullptr) *rest = left;
  return found;
}

std::string List(const std::string& entries) {
  return "<ul class=\"poster-col3 clearfix\">" + entries + "</ul>";
}

constexpr char kStarImage[] = "https://img1.doubanio.com/view/photo/photo/public/p101.webp";

PosterPhoto Photo(std::string id, std::string address, std::string size = "",
                  std::string caption = "") {
  return {std::move(id), std::move(address), std::move(size), std::move(caption)};
}

// A star's entry and a film's, as the two lists give them.
const std::string kStarEntry =
    "<li>\n  <div class=\"cover\"><a href=\"https://www.douban.com/personage/1/photo/101/\">"
    "<img src=\"" +
    std::string(kStarImage) +
    "\" width=\"150\"></a></div>\n"
    "  <div class=\"prop\">\n    1200x800\n  </div>\n"
    "  <div class=\"name\">\n    西湖 &quot;断桥&quot;\n    残雪 <a href=\"#\">3</a>\n  "
    "</div>\n</li>";
const std::string kFilmEntry =
    "<li data-id=\"202\"><div class=\"cover\"><a href=\"https://movie.douban.com/photos/photo/"
    "202/\"><img src=\"https://img9.doubanio.com/view/photo/m/public/p202.jpg\"/></a></div>"
    "<div class=\"prop\">640x360</div><div class=\"name\"></div></li>";

TEST(ScanPosterPhotos, StarAndFilmEntriesInPageOrderAndNothingOutsideTheList) {
  const std::string page =
      "<title>x</title><div class=\"pic\"><img src=\"https://img1.doubanio.com/view/photo/m/"
      "public/p9.jpg\"></div>" +
      List(kStarEntry + kFilmEntry) +
      "<ul class=\"poster-col3x\"><li><img src=\"https://img1.doubanio.com/view/photo/m/public/"
      "p8.jpg\"></li></ul><div class=\"aside\"><img src=\"https://img1.doubanio.com/view/photo/"
      "m/public/p7.jpg\"></div>";
  const std::vector<PosterPhoto> want = {
      {"101", kStarImage, "1200x800", "西湖 \"断桥\" 残雪 3"},
      {"202", "https://img9.doubanio.com/view/photo/m/public/p202.jpg", "640x360", ""},
  };
  EXPECT_EQ(Scan(page), want);
}

// Each entry a way to misread the photo, its id, its size or its caption.
TEST(ScanPosterPhotos, MarkupVariantsAndHostileEntries) {
  struct Case {
    std::string entry;
    std::vector<PosterPhoto> want;
  };
  const std::string m = "https://h/view/photo/m/public/p";
  const Case cases[] = {
      {"<li><img width='1' alt=\"a src=x\" src='" + m + "5.webp'></li>",
       {Photo("5", m + "5.webp")}},
      {"<li  data-id = '6' >\n<img\n SRC = \" " + m + "6.jpg \" ></li>", {Photo("6", m + "6.jpg")}},
      {"<li><img src=" + m + "7.jpg alt=x></li>", {Photo("7", m + "7.jpg")}},
      {"<li><img src=\"https://h/view/photo/sqs/public/p8.jpg\"></li>",
       {Photo("8", "https://h/view/photo/sqs/public/p8.jpg")}},
      {"<li><img src=\"https://h/view/photo/s/public/p9.jpg\"></li>",
       {Photo("9", "https://h/view/photo/s/public/p9.jpg")}},
      {"<li><div class=\"cover\">no image</div></li>", {}},
      {"<li><img alt=\"no src\"></li>", {}},
      {"<li><img src=\"" + m + "1a2.jpg\"></li>", {}},
      {"<li><img src=\"" + m + ".jpg\"></li>", {}},
      {"<li><img src=\"" + m + "12.png\"></li>", {}},
      {"<li><img src=\"" + m + "12.jpg?x=1\"></li>", {}},
      {"<li><img src=\"https://h/view/photo/l/public/p12.jpg\"></li>", {}},
      {"<li><img src=\"https://h/view/photo/m/other/p12.jpg\"></li>", {}},
      {"<li><img src=\"" + m + std::string(20, '1') + ".jpg\"></li>", {}},
      {"<li data-id=\"13\"><img src=\"" + m + "12.jpg\"></li>", {}},
      {"<li><imgx src=\"" + m + "1.jpg\"><img src=\"" + m + "14.jpg\"></li>",
       {Photo("14", m + "14.jpg")}},
      {"<li><img src=\"" + m +
           "15.jpg\"><div class='x prop'>1x2</div><div class=\"prop\">3x4</div>"
           "<div class=\"name x\">a<br>b</div></li>",
       {Photo("15", m + "15.jpg", "1x2", "a b")}},
      {"<li><img src=\"" + m + "17.jpg\"><div class=\"prop\">123456x1</div></li>",
       {Photo("17", m + "17.jpg")}},
      {"<li><img src=\"" + m + "18.jpg\"><div class=\"name\">never closed</li>",
       {Photo("18", m + "18.jpg", "", "never closed")}},
      {"<li><img src=\"" + m + "19.jpg\"></li><link rel=\"x\"><li><img src=\"" + m + "20.jpg\">",
       {Photo("19", m + "19.jpg"), Photo("20", m + "20.jpg")}},
      {"<li data-id=\"21><img src=\"" + m + "21.jpg\"></li>", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Scan(List(c.entry)), c.want) << c.entry;
}

TEST(ScanPosterPhotos, UnclosedTagsEndTheScanWhereABrowserWould) {
  const std::string photo = "<li><img src=\"https://h/view/photo/m/public/p1.jpg\"></li>";
  const std::string cases[] = {
      "<ul class=\"poster-col3\" title='" + photo,
      "<ul class=\"poster-col3\"><li data-id='" + photo,
      "<ul class=\"x\" title='></ul>" + List(photo),
  };
  for (const std::string& page : cases) EXPECT_TRUE(Scan(page).empty()) << page;
  EXPECT_EQ(Scan("<ul class=\"poster-col3\">" + photo).size(), 1u);  // a list never closed
}

TEST(ScanPosterPhotos, CaptionIsCutAtItsLimitOnACharacter) {
  const std::string caption = "中" + std::string(kMaxCaptionBytes * 2, 'x');
  const auto found =
      Scan(List("<li><img src=\"https://h/view/photo/m/public/p1.jpg\">"
                "<div class=\"name\">" +
                caption + "</div></li>"));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_LE(found[0].caption.size(), kMaxCaptionBytes);
  EXPECT_EQ(found[0].caption.substr(0, 4), "中x");
}

// The walk: the rest holds the paginator, and a film's "&amp;" is no part of its next address.
TEST(ScanPosterPhotos, RestAfterTheListGivesTheNextPage) {
  const std::string next =
      "<span class=\"next\">\n<link rel=\"next\" href=\"https://m/subject/1/photos?type=S&amp;"
      "start=30\"/>\n<a href=\"x\">后页&gt;</a></span>";
  std::string_view rest;
  Scan("<span class=\"next\"><link rel=\"next\" href=\"https://w/wrong\"/></span>" +
           List(kStarEntry) + next,
       &rest);
  EXPECT_EQ(NextPosterPage(rest), "https://m/subject/1/photos?type=S&start=30");
  EXPECT_EQ(NextPosterPage("<span class=\"next\"><link rel=\"next\" href=\"https://w/personage/"
                           "1/photos/?start=60\"/>"),
            "https://w/personage/1/photos/?start=60");
  EXPECT_EQ(NextPosterPage("<span class=\"next\"><link rel=\"next\" href=\"&#32;\"/>"),
            std::nullopt);
}

// Hostile pages: work and output stay linear in the page.
TEST(ScanPosterPhotos, HostilePagesStayBounded) {
  const std::string pieces[] = {
      "<ul class=\"poster-col3\"><li><img src=\"https://h/view/photo/m/public/p1.jpg\">",
      "<li><img src=\"https://h/view/photo/m/public/p1.jpg\"><div class=\"name\"><div class=prop>",
      "<ul class=poster-col3><li data-id=1><img src='",
      "<ul ",
  };
  for (const std::string& piece : pieces) {
    std::string page = "<ul class=\"poster-col3\">";
    for (int i = 0; i < 20000; ++i) page += piece;
    size_t bytes = 0;
    ScanPosterPhotos(page, [&](PosterPhoto p) { bytes += p.address.size() + p.caption.size(); });
    EXPECT_LE(bytes, page.size()) << piece;
  }
}

TEST(ReadPosterTitle, TheNameWithoutTheSiteAndTheKindOfPhotos) {
  const std::pair<std::string, std::string> cases[] = {
      {"<title>\n   林湖光 Lin Huguang的图片 (豆瓣)\n</title>", "林湖光 Lin Huguang"},
      {"<title>西湖梦寻 剧照 (豆瓣)</title>", "西湖梦寻"},
      {"<title>西湖梦寻的海报</title>", "西湖梦寻"},
      {"<title>Tom &amp; Jerry 壁纸</title>", "Tom & Jerry"},
      {"<title>海报</title>", "海报"},
      {"<title>图片 图片</title>", "图片"},
      {"<title>(豆瓣)</title>", "(豆瓣)"},
      {"<title>no close", ""},
  };
  for (const auto& [page, name] : cases) EXPECT_EQ(ReadPosterTitle(page), name) << page;
  EXPECT_LE(ReadPosterTitle("<title>" + std::string(5000, 'y') + "</title>").size(), 1024u);
}

}  // namespace
}  // namespace tarn
