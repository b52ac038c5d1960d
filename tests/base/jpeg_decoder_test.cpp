// SPDX-License-Identifier: MIT
#include "base/jpeg_decoder.h"

#include <gtest/gtest.h>

#include "support/jpeg_encode.h"

namespace tarn {
namespace {

using testing::EncodeTestJpeg;

TEST(DecodeJpeg, FullSizeKeepsDimensionsAndColours) {
  const auto bytes = EncodeTestJpeg(64, 48);
  const RgbImage image = DecodeJpeg(bytes.data(), bytes.size());
  ASSERT_EQ(image.width, 64);
  ASSERT_EQ(image.height, 48);
  ASSERT_EQ(image.pixels.size(), 64u * 48u * 3u);
  // Bottom right is red and green at full strength, blue low.
  const uint8_t* last = &image.pixels[image.pixels.size() - 3];
  EXPECT_GT(last[0], 230);
  EXPECT_GT(last[1], 230);
  EXPECT_LT(last[2], 100);
  EXPECT_LT(image.pixels[0], 25);  // top left has no red
}

TEST(DecodeJpeg, PicksTheSmallestScaleThatCoversThePreview) {
  const auto bytes = EncodeTestJpeg(1600, 1200, 70);
  const RgbImage eighth = DecodeJpeg(bytes.data(), bytes.size(), 189, 116);
  EXPECT_EQ(eighth.width, 200);  // 1/8 still covers 189x116
  EXPECT_EQ(eighth.height, 150);
  const RgbImage tall = DecodeJpeg(bytes.data(), bytes.size(), 189, 200);
  EXPECT_EQ(tall.width, 400);  // 1/8 gives 150 rows, too few; 2/8 gives 300
  EXPECT_EQ(tall.height, 300);
  const auto small = EncodeTestJpeg(100, 60);
  const RgbImage whole = DecodeJpeg(small.data(), small.size(), 189, 116);
  EXPECT_EQ(whole.width, 100);  // smaller than the preview: decoded whole
}

TEST(DecodeJpeg, CutShortFileStillGivesAPicture) {
  auto bytes = EncodeTestJpeg(320, 240);
  bytes.resize(bytes.size() / 2);
  const RgbImage image = DecodeJpeg(bytes.data(), bytes.size());
  EXPECT_EQ(image.width, 320);
  EXPECT_EQ(image.height, 240);
}

TEST(DecodeJpeg, GarbageGivesAnEmptyImageWithoutEndingTheProcess) {
  const uint8_t garbage[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x01, 0x02, 'n', 'o', 't'};
  EXPECT_TRUE(DecodeJpeg(garbage, sizeof garbage).Empty());
  const uint8_t text[] = "<html>not a photo</html>";
  EXPECT_TRUE(DecodeJpeg(text, sizeof text).Empty());
  EXPECT_TRUE(DecodeJpeg(nullptr, 0).Empty());
  EXPECT_TRUE(DecodeJpegFile("/nonexistent/photo.jpg").Empty());
}

}  // namespace
}  // namespace tarn
