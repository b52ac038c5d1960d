// SPDX-License-Identifier: MIT
#include "download/poster_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/album_photo_scanner.h"

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

PosterPhoto Photo(std::string id, std::string address, std::string size = "",
                  std::string caption = "") {
  return {std::move(id), std::move(address), std::move(size), std::move(caption)};
}

const std::string kImage = "https://img1.doubanio.com/view/photo/m/public/p";

// A star's entry and a film's as the two lists give them; images outside the list are none.
TEST(ScanPosterPhotos, StarAndFilmEntriesInPageOrderAndRestAfterTheList) {
  const std::string star =
      "<li>\n  <div class=\"cover\"><a href=\"https://www.douban.com/personage/1/photo/101/\">"
      "<img src=\"https://img1.doubanio.com/view/photo/photo/public/p101.webp\" width=\"150\">"
      "</a></div>\n  <div class=\"prop\">\n    1200x800\n  </div>\n"
      "  <div class=\"name\">\n    西湖 &quot;断桥&quot;\n    残雪 <a "
      "href=\"#\">3</a>\n</div>\n</li>";
  const std::string film =
      "<li data-id=\"202\"><div class=\"cover\"><a href=\"https://movie.douban.com/photos/photo/"
      "202/\"><img src=\"" +
      kImage +
      "202.jpg\"/></a></div><div class=\"prop\">640x360</div>"
      "<div class=\"name\"></div></li>";
  const std::string next =
      "<span class=\"next\">\n<link rel=\"next\" href=\"https://m/subject/1/photos?type=S&amp;"
      "start=30\"/>\n<a href=\"x\">后页&gt;</a></span>";
  const std::string page =
      "<span class=\"next\"><link rel=\"next\" href=\"https://w/wrong\"/></span><div class=\"pic\">"
      "<img src=\"" +
      kImage + "9.jpg\"></div>" + List(star + film) + "<ul class=\"poster-col3x\"><li><img src=\"" +
      kImage + "8.jpg\"></li></ul>" + next;
  std::string_view rest;
  EXPECT_EQ(Scan(page, &rest),
            (std::vector<PosterPhoto>{
                Photo("101", "https://img1.doubanio.com/view/photo/photo/public/p101.webp",
                      "1200x800", "西湖 \"断桥\" 残雪 3"),
                Photo("202", kImage + "202.jpg", "640x360")}));
  // A film's links join their query's parts with "&amp;".
  EXPECT_EQ(NextPosterPage(rest), "https://m/subject/1/photos?type=S&start=30");
}

// Each row a way to misread an entry's photo, id, size or caption, or a tag never closed.
TEST(ScanPosterPhotos, MarkupVariantsAndHostilePages) {
  const std::string& m = kImage;
  const std::string long_caption(kMaxCaptionBytes - 1, 'x');  // no room for the whole 中
  const std::string photo = "<li><img src=\"" + m + "1.jpg\"></li>";
  const std::pair<std::string, std::vector<PosterPhoto>> cases[] = {
      {List("<li><img width='1' alt=\"a src=x\" src='" + m + "5.webp'></li>"),
       {Photo("5", m + "5.webp")}},
      {List("<li  data-id = '6' >\n<img\n SRC = \" " + m + "6.jpg \" ></li>"),
       {Photo("6", m + "6.jpg")}},
      {List("<li><img src=" + m + "7.jpg alt=x></li>"), {Photo("7", m + "7.jpg")}},
      {List("<li><img src=\"https://h/view/photo/sqs/public/p8.jpg\"></li>"),
       {Photo("8", "https://h/view/photo/sqs/public/p8.jpg")}},
      {List("<li><div class=\"cover\">no image</div></li><li><img alt=\"no src\"></li>"), {}},
      {List("<li><img src=\"" + m + "1a2.jpg\"></li><li><img src=\"" + m + ".jpg\"></li>"), {}},
      {List("<li><img src=\"" + m + "12.png\"></li><li><img src=\"" + m + "12.jpg?x\"></li>"), {}},
      {List("<li><img src=\"https://h/view/photo/l/public/p12.jpg\"></li>"), {}},
      {List("<li><img src=\"https://h/view/photo/m/other/p12.jpg\"></li>"), {}},
      {List("<li><img src=\"" + m + std::string(20, '1') + ".jpg\"></li>"), {}},
      {List("<li data-id=\"13\"><img src=\"" + m + "12.jpg\"></li>"), {}},
      {List("<li><imgx src=\"" + m + "1.jpg\"><img src=\"" + m + "14.jpg\"></li>"),
       {Photo("14", m + "14.jpg")}},
      {List("<li><img src=\"" + m +
            "15.jpg\"><div class='x prop'>1x2</div><div class=prop>3x4"
            "</div><div class=\"name x\">a<br>b</div></li>"),
       {Photo("15", m + "15.jpg", "1x2", "a b")}},
      {List("<li><img src=\"" + m + "17.jpg\"><div class=\"prop\">123456x1</div></li>"),
       {Photo("17", m + "17.jpg")}},
      {List("<li><img src=\"" + m + "18.jpg\"><div class=\"name\">never closed</li>"),
       {Photo("18", m + "18.jpg", "", "never closed")}},
      {List("<li><img src=\"" + m + "19.jpg\"></li><link rel=x><li><img src=\"" + m + "20.jpg\">"),
       {Photo("19", m + "19.jpg"), Photo("20", m + "20.jpg")}},
      {List("<li><img src=\"" + m + "21.jpg\"><div class=\"name\">" + long_caption + "中</div>"),
       {Photo("21", m + "21.jpg", "", long_caption)}},
      {"<ul class=\"poster-col3\">" + photo, {Photo("1", m + "1.jpg")}},
      {"<ul class=\"poster-col3\" title='" + photo, {}},
      {"<ul class=\"poster-col3\"><li data-id='" + photo, {}},
      {"<ul class=\"x\" title='></ul>" + List(photo), {}},
  };
  for (const auto& [page, want] : cases) EXPECT_EQ(Scan(page), want) << page;
}

// Pages of unclosed tags: work and output stay linear in the page.
TEST(ScanPosterPhotos, HostilePagesStayBounded) {
  const std::string pieces[] = {
      "<ul class=\"poster-col3\"><li><img src=\"" + kImage + "1.jpg\">",
      "<li><img src=\"" + kImage + "1.jpg\"><div class=\"name\"><div class=prop>",
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
      {"<title>Tom &amp; Jerry 壁纸</title>", "Tom & Jerry"},
      {"<title>海报</title>", "海报"},
      {"<title>图片 图片</title>", "图片"},
      {"<title>no close", ""},
  };
  for (const auto& [page, name] : cases) EXPECT_EQ(ReadPosterTitle(page), name) << page;
  EXPECT_LE(ReadPosterTitle("<title>" + std::string(5000, 'y') + "</title>").size(), 1024u);
}

}  // namespace
}  // namespace tarn
