// SPDX-License-Identifier: MIT
#include "download/album_scanner.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn {
namespace {

std::vector<std::string> Photos(std::string_view page, std::string_view* rest = nullptr) {
  std::vector<std::string> found;
  const std::string_view left = ScanPhotos(page, [&](std::string a) { found.push_back(a); });
  if (rest != nullptr) *rest = left;
  return found;
}

std::string Photo(const std::string& id) {
  return "<div class=\"photo_wrap\"><a class=\"photolst_photo\" href=\"/p/" + id +
         "\" title=\"相片\">\n  <img src=\"http://img.example/view/thumb/thumb_" + id +
         ".jpg\" />\n</a></div>\n";
}

TEST(ReplaceFirst, OnlyTheFirstOccurrence) {
  EXPECT_EQ(ReplaceFirst("a/thumb/b/thumb.jpg", "thumb", "photo"), "a/photo/b/thumb.jpg");
  EXPECT_EQ(ReplaceFirst("no match", "thumb", "photo"), "no match");
  EXPECT_EQ(ReplaceFirst("", "thumb", "photo"), "");
  EXPECT_EQ(ReplaceFirst("thumb", "thumb", ""), "");
}

TEST(ScanPhotos, ThreePhotosInPageOrderWithOnlyTheFirstThumbReplaced) {
  const std::string page = "<html><h1>相册</h1>" + Photo("1") + Photo("2") + Photo("3") + "</html>";
  EXPECT_EQ(Photos(page), (std::vector<std::string>{"http://img.example/view/photo/thumb_1.jpg",
                                                    "http://img.example/view/photo/thumb_2.jpg",
                                                    "http://img.example/view/photo/thumb_3.jpg"}));
}

TEST(ScanPhotos, AddressIsTrimmedAndKeptOtherwiseUnchanged) {
  const std::string page = "photolst_photo x <img src=\"  http://h/thumb/a b?c=thumb \" />";
  EXPECT_EQ(Photos(page), (std::vector<std::string>{"http://h/photo/a b?c=thumb"}));
}

TEST(ScanPhotos, PageWithoutPhotosGivesNothingAndKeepsThePageForTheWalk) {
  std::string_view rest;
  EXPECT_TRUE(Photos("<html>photolst<img src=\"x\" /></html>", &rest).empty());
  EXPECT_EQ(rest, "<html>photolst<img src=\"x\" /></html>");
  EXPECT_TRUE(Photos("").empty());
  EXPECT_TRUE(Photos("PHOTOLST_PHOTO <img src=\"http://h/thumb\" />").empty());
}

TEST(ScanPhotos, MarkerWithoutImageTagEndsTheScan) {
  const std::string page = Photo("1") + "<a class=\"photolst_photo\">no picture here</a>";
  EXPECT_EQ(Photos(page).size(), 1u);
}

TEST(ScanPhotos, MissingCloseGivesAnEmptyAddressAndStillEnds) {
  EXPECT_EQ(Photos("photolst_photo <img src=\"http://h/thumb.jpg\">"),
            (std::vector<std::string>{""}));
  // The close right after the tag's quote stands inside the opening.
  EXPECT_EQ(Photos("photolst_photo <img src=\" />"), (std::vector<std::string>{""}));
}

TEST(ScanPhotos, TagClosedOnlyAfterTheNextMarkerGivesAnEmptyAddress) {
  EXPECT_EQ(Photos("photolst_photo <img src=\"http://h/thumb/1.jpg photolst_photo "
                   "<img src=\"http://h/thumb/2.jpg\" />"),
            (std::vector<std::string>{"", "http://h/photo/2.jpg"}));
}

// Found by fuzzing: unclosed tags before one close far down the page gave every photo the
// rest of the page, so a hostile page of n bytes held n * n / 50 bytes of addresses.
TEST(ScanPhotos, AddressesNeverHoldMoreBytesThanThePage) {
  std::string page;
  for (int i = 0; i < 2000; ++i) page += "photolst_photo<img src=\"x";
  page += "\" />";
  size_t found = 0;
  size_t bytes = 0;
  ScanPhotos(page, [&](std::string address) {
    ++found;
    bytes += address.size();
  });
  EXPECT_EQ(found, 2000u);
  EXPECT_LE(bytes, page.size());
}

TEST(ScanPhotos, ManyPhotosAllFoundInOrder) {
  std::string page;
  for (int i = 0; i < 20000; ++i) page += Photo(std::to_string(i));
  const auto found = Photos(page);
  ASSERT_EQ(found.size(), 20000u);
  EXPECT_EQ(found.back(), "http://img.example/view/photo/thumb_19999.jpg");
}

TEST(NextPageAddress, LinkWhoseAddressHoldsTheLabelEndsTheWalk) {
  EXPECT_EQ(NextPageAddress("<span class=\"next\"><link rel=\"next\" href=\"http://h/后页\"/>"),
            std::nullopt);
}

TEST(NextPageAddress, LinkAfterTheNextSpan) {
  const std::string rest =
      "<div class=\"paginator\"><span class=\"next\">\n"
      "<link rel=\"next\" href=\" http://h/photos/album/1/?start=18 \"/>\n"
      "<a href=\"http://h/photos/album/1/?start=18\">后页&gt;</a></span></div>";
  EXPECT_EQ(NextPageAddress(rest), "http://h/photos/album/1/?start=18");
}

TEST(NextPageAddress, LastPageSpanWithTheLabelEndsTheWalk) {
  EXPECT_EQ(NextPageAddress("<span class=\"next\">\n        后页&gt;\n    </span>"
                            "<link rel=\"icon\" href=\"/f.ico\"/>"),
            std::nullopt);
  EXPECT_EQ(NextPageAddress("<span class=\"next\">后页&gt;</span><link rel=\"x\" href=\"y\"/>"),
            std::nullopt);
  // No link and no close at all: nothing can be made out.
  EXPECT_EQ(NextPageAddress("<span class=\"next\">后页&gt;</span></html>"), std::nullopt);
  EXPECT_EQ(NextPageAddress("no span here <link rel=\"next\" href=\"http://h/2\"/>"), std::nullopt);
  EXPECT_EQ(NextPageAddress(""), std::nullopt);
}

}  // namespace
}  // namespace tarn
