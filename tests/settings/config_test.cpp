// SPDX-License-Identifier: MIT
#include "settings/config.h"

#include <gtest/gtest.h>

#include "support/child_process.h"

namespace tarn {
namespace {

TEST(IsSupportedAlbumUrl, HttpOrHttpsBeforeTheConfiguredHostAndPhotos) {
  testing::SetTestEnvironment("TARN_PHOTO_HOST", "127.0.0.1:81");
  const struct {
    const char* address;
    bool accepted;
  } cases[] = {
      {"http://127.0.0.1:81/photos/album/1/", true},
      {"https://127.0.0.1:81/photos/album/1/", true},
      {"see https://127.0.0.1:81/photos/", true},  // anywhere in the text, as before
      {"HTTPS://127.0.0.1:81/photos/album/1/", false},
      {"https://127.0.0.1:8/photos/album/1/", false},
      {"ftp://127.0.0.1:81/photos/album/1/", false},
      {"https://127.0.0.1:81/photo/album/1/", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSupportedAlbumUrl(c.address), c.accepted) << c.address;
  testing::UnsetTestEnvironment("TARN_PHOTO_HOST");
}

}  // namespace
}  // namespace tarn
