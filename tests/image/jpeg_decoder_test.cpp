// SPDX-License-Identifier: MIT
#include "image/jpeg_decoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/photo_decoder.h"
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
  EXPECT_TRUE(DecodePhotoFile("/nonexistent/photo.jpg").Empty());
}

// A real JPEG whose frame header claims other dimensions.
std::vector<uint8_t> WithClaimedSize(std::vector<uint8_t> bytes, int width, int height) {
  for (size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // start of a baseline frame
      bytes[i + 5] = static_cast<uint8_t>(height >> 8);
      bytes[i + 6] = static_cast<uint8_t>(height);
      bytes[i + 7] = static_cast<uint8_t>(width >> 8);
      bytes[i + 8] = static_cast<uint8_t>(width);
      return bytes;
    }
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

// A forged header must not make a preview allocate gigabytes and decode billions of pixels.
TEST(DecodeJpeg, ClaimedSizeBeyondTheLimitGivesAnEmptyImageAtOnce) {
  const auto huge = WithClaimedSize(EncodeTestJpeg(16, 16), 60000, 60000);
  EXPECT_TRUE(DecodeJpeg(huge.data(), huge.size()).Empty());
  EXPECT_TRUE(DecodeJpeg(huge.data(), huge.size(), 189, 116).Empty());
  const auto just_over = WithClaimedSize(EncodeTestJpeg(16, 16), 10001, 10000);
  EXPECT_TRUE(DecodeJpeg(just_over.data(), just_over.size(), 189, 116).Empty());
  const auto fits = WithClaimedSize(EncodeTestJpeg(16, 16), 1000, 1000);
  EXPECT_EQ(DecodeJpeg(fits.data(), fits.size()).width, 1000);
}

TEST(DecodeJpeg, OversizedFileIsNotRead) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("tarn_oversized_" + std::to_string(getpid()) + ".jpg");
  const auto bytes = EncodeTestJpeg(16, 16);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  EXPECT_EQ(DecodePhotoFile(path.string()).width, 16);
  std::filesystem::resize_file(path, 300u << 20);  // sparse: no disk space is taken
  EXPECT_TRUE(DecodePhotoFile(path.string()).Empty());
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tarn
