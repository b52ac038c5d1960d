// SPDX-License-Identifier: MIT
// What a list of today's service makes of its pages: a source and the page's text, no network.
#include "download/page_walk.h"

#include <gtest/gtest.h>

#include "download/album_source.h"

namespace tarn {
namespace {

std::string Entry(const std::string& name, const std::string& caption = "c") {
  return "<a class=\"photolst_photo\" title=\"" + caption +
         "\"><img src=\"https://i/view/photo/m/public/" + name + ".jpg\"></a>";
}

std::string Next(int start) {
  return "<span class=\"next\"><link rel=\"next\" href=\"https://h/photos/album/1/?m_start=" +
         std::to_string(start) + "\"/></span>";
}

TEST(AlbumSource, PagesAreReadForPhotosOnceAndWalkedOnlyWhereThereIsNew) {
  const struct {
    const char* why;
    std::vector<std::string> pages;
    size_t photos;     // listed in the run after the last page
    bool goes_on;      // the last page gives a next address
    bool fails;        // the list cannot be read at all
    bool cut = false;  // the pages after the last one read are left out, and the run says so
  } cases[] = {
      {"two pages, then the end", {Entry("p1") + Next(18), Entry("p2")}, 2, false, false},
      {"a photo listed again is listed once",
       {Entry("p1") + Next(18), Entry("p1") + Entry("p2") + Next(36)},
       2,
       true,
       false},
      {"a page of repeats ends the walk",
       {Entry("p1") + Next(18), Entry("p1") + Next(36)},
       1,
       false,
       false},
      {"an invalid byte costs nothing",
       {Entry("p1", "a\xFF") + Next(18), Entry("p2", "\xC0\x80")},
       2,
       false,
       false},
      {"the notice's words in a caption",
       {Entry("p1") + Next(18), Entry("p2", "这个相册已被设为x")},
       2,
       false,
       false},
      {"no photo in the middle keeps the pages before",
       {Entry("p1") + Next(18), "<p>busy</p>" + Next(36)},
       1,
       false,
       false,
       true},
      {"no photo on the first page", {"<p>busy</p>" + Next(18)}, 0, false, true},
      {"the service's notice", {"<div><p>这个相册已被设为仅自己可见</p></div>"}, 0, false, true},
      {"a name that is no id is still listed", {Entry("photo_x") + Entry("p3")}, 2, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string address = "https://h/photos/album/1/";
    const AlbumSource source;
    ListGatherer gatherer(source, address, 100);
    std::optional<std::string> next;
    std::string gap;
    for (const std::string& page : c.pages)
      next = gatherer.Take(source.ReadPage(page, address), address, gap);
    EXPECT_EQ(gatherer.List().photos.size(), c.photos);
    EXPECT_EQ(next.has_value(), c.goes_on);
    EXPECT_EQ(gatherer.List().failure.has_value(), c.fails);
    EXPECT_EQ(!gap.empty(), c.cut);
  }
}

}  // namespace
}  // namespace tarn
