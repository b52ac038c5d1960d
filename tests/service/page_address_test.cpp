// SPDX-License-Identifier: MIT
#include "service/page_address.h"

#include <gtest/gtest.h>

#include "support/child_process.h"

namespace tarn {
namespace {

TEST(ReadPageAddress, TheFormsOnTheConfiguredHostsByTheirParts) {
  testing::SetTestEnvironment("TARN_PHOTO_HOST", "127.0.0.1:81");
  testing::SetTestEnvironment("TARN_MOVIE_HOST", "127.0.0.1:82");
  testing::SetTestEnvironment("TARN_SITE_HOST", "127.0.0.1:83");
  const struct {
    const char* address;
    std::optional<PageKind> kind;
    const char* id = "";
    char film_type = 0;
  } cases[] = {
      {"http://127.0.0.1:81/photos/album/1/", PageKind::kAlbum, "1"},
      {"https://127.0.0.1:81/photos/album/12?m_start=18", PageKind::kAlbum, "12"},
      {"https://127.0.0.1:81/photos/", PageKind::kAlbum},
      {"see https://127.0.0.1:81/photos/", std::nullopt},  // the host inside the text
      {"https://evil.example/photos/album/1/?via=https://127.0.0.1:81/photos/", std::nullopt},
      {"https://127.0.0.1:81@evil.example/photos/album/1/", std::nullopt},
      {"https://127.0.0.1:810/photos/album/1/", std::nullopt},
      {"HTTPS://127.0.0.1:81/photos/album/1/", std::nullopt},
      {"ftp://127.0.0.1:81/photos/album/1/", std::nullopt},
      {"https://127.0.0.1:81/photo/album/1/", std::nullopt},
      {"https://127.0.0.1:81/personage/27260317/photos/?start=30", PageKind::kStarPhotos,
       "27260317"},
      {"https://127.0.0.1:81/personage/27260317/photos", PageKind::kStarPhotos, "27260317"},
      {"http://127.0.0.1:81/personage/27260317/photos/", std::nullopt},  // HTTPS only
      {"https://127.0.0.1:82/personage/27260317/photos/", std::nullopt},
      {"https://127.0.0.1:81/personage/x1/photos/", std::nullopt},
      {"https://127.0.0.1:82/subject/35267208/photos?type=R&start=30", PageKind::kFilmPhotos,
       "35267208", 'R'},
      {"https://127.0.0.1:82/subject/35267208/photos", PageKind::kFilmPhotos, "35267208", 'S'},
      {"https://127.0.0.1:82/subject/35267208/photos?type=X", std::nullopt},
      {"https://127.0.0.1:81/subject/35267208/photos?type=S", std::nullopt},
      {"https://127.0.0.1:82/celebrity/1315847/photos/", PageKind::kOldStarPhotos, "1315847"},
      {"https://127.0.0.1:82/celebrity/1315847/awards/", std::nullopt},
      {"https://127.0.0.1:81/people/hupan/photos", PageKind::kPersonAlbums, "hupan"},
      {"https://127.0.0.1:81/people/../photos", std::nullopt},
      {"http://127.0.0.1:81/people/hupan/photos", std::nullopt},
      {"https://127.0.0.1:83/westlake/widget/photos/1681/?start=30", PageKind::kSitePhotos, "1681"},
      {"https://127.0.0.1:83/westlake/widget/public_album/52/", PageKind::kSiteAlbum, "52"},
      {"https://127.0.0.1:81/westlake/widget/photos/1681/", std::nullopt},
      {"http://127.0.0.1:83/westlake/widget/photos/1681/", std::nullopt},
      {"https://127.0.0.1:83/../widget/photos/1681/", std::nullopt},
      {"https://127.0.0.1:83/widget/photos/1681/", std::nullopt},
      {"https://127.0.0.1:83/westlake/widget/photos/1681/photo/22/", std::nullopt},
      {"https://127.0.0.1:81/note/901/", PageKind::kNote, "901"},
      {"https://127.0.0.1:83/note/901/", std::nullopt},
      {"http://127.0.0.1:81/note/901/", std::nullopt},
      {"https://127.0.0.1:81/group/topic/77?start=100", PageKind::kTopic, "77"},
      {"https://127.0.0.1:81/group/topic/77/edit", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    const std::optional<PageAddress> page = ReadPageAddress(c.address);
    ASSERT_EQ(page.has_value(), c.kind.has_value());
    if (!page) continue;
    EXPECT_EQ(page->kind, *c.kind);
    EXPECT_EQ(page->id, c.id);
    EXPECT_EQ(page->film_type, c.film_type);
  }
  testing::UnsetTestEnvironment("TARN_PHOTO_HOST");
  testing::UnsetTestEnvironment("TARN_MOVIE_HOST");
  testing::UnsetTestEnvironment("TARN_SITE_HOST");
}

}  // namespace
}  // namespace tarn
