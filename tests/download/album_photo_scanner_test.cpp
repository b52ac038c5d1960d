// SPDX-License-Identifier: MIT
#include "download/album_photo_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/album_scanner.h"

namespace tarn {
namespace {

std::vector<ListedPhoto> Scan(std::string_view page, std::string_view* rest = nullptr) {
  std::vector<ListedPhoto> found;
  const std::string_view left = ScanAlbumPhotos(page, [&](ListedPhoto p) { found.push_back(p); });
  if (rest != nullptr) *rest = left;
  return found;
}

std::vector<std::string> Addresses(std::string_view page) {
  std::vector<std::string> out;
  for (const ListedPhoto& photo : Scan(page)) out.push_back(photo.address);
  return out;
}

// One entry as today's pages have it.
std::string Entry(const std::string& id, const std::string& title, const std::string& img) {
  return "<div class=\"photo_wrap\">\n  <a href=\"https://www.douban.com/photos/photo/" + id +
         "/\" class=\"photolst_photo\" title=\"" + title + "\">\n    " + img +
         "\n  </a><br/>\n  <div class=\"pl\">cut short...</div>\n</div>\n";
}

std::string Img(const std::string& id) {
  return "<img src=\"https://img9.doubanio.com/view/photo/m/public/p" + id +
         ".webp\" alt=\"caption\" />";
}

TEST(ScanAlbumPhotos, TodaysEntriesGiveAddressAndFullCaptionInPageOrder) {
  const std::string page =
      "<title>x</title><div class=\"sharing\"><img src=\"https://img1.doubanio.com/view/photo/"
      "thumb/public/p1.jpg\" /></div>" +
      Entry("2", "西湖 &quot;断桥&quot; 残雪", Img("2")) +
      Entry("3", "a &amp; b &#39;c&#39;", Img("3")) +
      Entry("4", "",
            "<img width=\"37\" height='20' src='https://img3.doubanio.com/view/photo/m/"
            "public/p4.jpg' alt=\"x\"/>");
  const auto found = Scan(page);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0], (ListedPhoto{"https://img9.doubanio.com/view/photo/m/public/p2.webp",
                                   "西湖 \"断桥\" 残雪", ""}));
  EXPECT_EQ(found[1].caption, "a & b 'c'");
  EXPECT_EQ(found[2],
            (ListedPhoto{"https://img3.doubanio.com/view/photo/m/public/p4.jpg", "", ""}));
}

TEST(ScanAlbumPhotos, WhereverSrcStandsAndWhicheverQuoteClosesIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"<img src=\"http://h/a.jpg\" />", "http://h/a.jpg"},
      {"<img src=\"http://h/a.jpg\" alt=\"x\" />", "http://h/a.jpg"},
      {"<img alt=\"a src=x\" src=\"http://h/b.jpg\">", "http://h/b.jpg"},
      {"<img alt='it\"s' src='http://h/c.jpg'>", "http://h/c.jpg"},
      {"<img\nSRC = \"http://h/d.jpg\"\n>", "http://h/d.jpg"},
      {"<img data-src=\"wrong\" src=\"http://h/e.jpg\">", "http://h/e.jpg"},
      {"<img src=http://h/f.jpg alt=x>", "http://h/f.jpg"},
      {"<img src=\"  http://h/g.jpg?a=1&amp;b=2 \">", "http://h/g.jpg?a=1&b=2"},
      {"<imgx src=\"wrong\"><img src=\"http://h/h.jpg\">", "http://h/h.jpg"},
  };
  for (const auto& [img, address] : cases)
    EXPECT_EQ(Addresses("<a class=\"photolst_photo\">" + img + "</a>"),
              std::vector<std::string>{address})
        << img;
}

TEST(ScanAlbumPhotos, EntriesWithoutAnImageAddressListNothing) {
  const std::string cases[] = {
      "<a class=\"photolst_photo\">no picture</a>",
      "<a class=\"photolst_photo\"><img alt=\"no src\"></a>",
      "<a class=\"photolst_photo\"><img src=\"\"></a>",
      "<a class=\"photolst_photo\"><img src='never closed></a>",
      "<a class=\"photolst_photo\"><img src=\"" + std::string(5000, 'x') + "\"></a>",
  };
  for (const std::string& entry : cases) {
    const std::string page = entry + "<span class=\"next\">";
    std::string_view rest;
    EXPECT_TRUE(Scan(page, &rest).empty()) << page;
    EXPECT_EQ(rest.substr(0, 2), "<a");  // the whole page is left for the walk
  }
}

TEST(ScanAlbumPhotos, AnImageOnlyAfterTheNextMarkerBelongsToThatEntry) {
  const std::string page =
      "<a class=\"photolst_photo\" title=\"first\">nothing</a>" + Entry("5", "second", Img("5"));
  const auto found = Scan(page);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].caption, "second");
}

TEST(ScanAlbumPhotos, MarkerOutsideATagHasNoCaption) {
  const auto found = Scan("<div title=\"not this\">photolst_photo</div><img src=\"http://h/a\">");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], (ListedPhoto{"http://h/a", "", ""}));
}

TEST(ScanAlbumPhotos, CaptionIsCutAtItsLimitOnACharacter) {
  const std::string long_title(kMaxCaptionBytes * 3, 'x');
  const auto found = Scan(Entry("1", "中" + long_title, Img("1")));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_LE(found[0].caption.size(), kMaxCaptionBytes);
  EXPECT_EQ(found[0].caption.substr(0, 3), "中");
}

TEST(ScanAlbumPhotos, RestStartsAfterTheLastPhotoSoTheWalkFindsTheNextLink) {
  const std::string next =
      "<span class=\"next\"><link rel=\"next\" href=\"https://h/?m_start=18\"/>";
  const std::string page = Entry("1", "a", Img("1")) + Entry("2", "b", Img("2")) + next;
  std::string_view rest;
  Scan(page, &rest);
  EXPECT_EQ(NextPageAddress(rest), "https://h/?m_start=18");
}

// Hostile pages: unclosed quotes and tags, markers without end. Work and output stay linear.
TEST(ScanAlbumPhotos, HostilePagesStayBounded) {
  const std::string pieces[] = {
      "photolst_photo<img src=\"x",
      "<a title=\"photolst_photo",
      "photolst_photo<img src=x alt='",
      "<a class=\"photolst_photo\" title=\"" + std::string(100, 'y'),
      "photolst_photo<",
  };
  for (const std::string& piece : pieces) {
    std::string page;
    for (int i = 0; i < 20000; ++i) page += piece;
    size_t bytes = 0, found = 0;
    ScanAlbumPhotos(page, [&](ListedPhoto p) {
      ++found;
      bytes += p.address.size() + p.caption.size();
    });
    EXPECT_LE(bytes, page.size()) << piece;
    EXPECT_LE(found, 20000u);
  }
}

// The plain-HTTP scanner stays for plain runs: both rules agree on the pages plain runs see,
// but not everywhere, as these pages show.
TEST(ScanAlbumPhotos, AgreesWithThePlainScannerOnlyOnThePlainForm) {
  std::vector<std::string> plain;
  const std::string plain_page =
      "<a href=\"http://h/photos/photo/1/\" class=\"photolst_photo\" title=\"t\">\n"
      "  <img src=\"http://h/view/photo/thumb/public/p1.jpg\" />\n</a>"
      "<div class=\"pl\">t <img src=\"http://h/pics/icon_like.png\" alt=\"喜欢\" /></div>"
      "photolst_photo <img src=\"http://h/thumb/p2.jpg\" />";
  ScanPhotos(plain_page, [&](std::string a) { plain.push_back(a); });
  std::vector<std::string> today;
  for (std::string address : Addresses(plain_page))
    today.push_back(ReplaceFirst(address, "thumb", "photo"));
  EXPECT_EQ(today, plain);

  const std::pair<std::string, std::vector<std::string>> differ[] = {
      {"photolst_photo<img src=\"http://h/a\" alt=\"b\" />", {"http://h/a\" alt=\"b"}},
      {"photolst_photo<img width=\"3\" src=\"http://h/a\" />", {}},
      {"photolst_photo<img src=\"http://h/a\">", {""}},
  };
  for (const auto& [page, old_rule] : differ) {
    std::vector<std::string> got;
    ScanPhotos(page, [&](std::string a) { got.push_back(a); });
    EXPECT_EQ(got, old_rule) << page;
    EXPECT_EQ(Addresses(page), std::vector<std::string>{"http://h/a"}) << page;
  }
}

}  // namespace
}  // namespace tarn
