// SPDX-License-Identifier: MIT
#include "image/webp_decoder.h"

#include <gtest/gtest.h>
#include <webp/encode.h>

#include <string>
#include <vector>

#include "image/photo_decoder.h"
#include "support/jpeg_encode.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// A lossy WebP of the given size: red grows to the right, green downwards.
std::vector<uint8_t> EncodeTestWebp(int width, int height) {
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / std::max(width - 1, 1));
      p[1] = static_cast<uint8_t>(y * 255 / std::max(height - 1, 1));
      p[2] = 40;
    }
  }
  uint8_t* out = nullptr;
  const size_t size = WebPEncodeRGB(rgb.data(), width, height, width * 3, 90, &out);
  std::vector<uint8_t> bytes(out, out + size);
  WebPFree(out);
  return bytes;
}

std::string AsText(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

TEST(DecodeWebp, FullSizeKeepsDimensionsAndColours) {
  const auto bytes = EncodeTestWebp(64, 48);
  ASSERT_TRUE(LooksLikeWebp(bytes.data(), bytes.size()));
  const RgbImage image = DecodeWebp(bytes.data(), bytes.size());
  ASSERT_EQ(image.width, 64);
  ASSERT_EQ(image.height, 48);
  ASSERT_EQ(image.pixels.size(), 64u * 48u * 3u);
  const uint8_t* last = &image.pixels[image.pixels.size() - 3];
  EXPECT_GT(last[0], 200);  // bottom right: red and green strong
  EXPECT_GT(last[1], 200);
  EXPECT_LT(image.pixels[0], 40);  // top left: no red
}

struct ScaleCase {
  int width, height, cover_width, cover_height, want_width, want_height;
};

TEST(DecodeWebp, ScalesToTheSmallestSizeThatCoversTheBox) {
  const ScaleCase cases[] = {
      {1600, 1200, 189, 116, 189, 142},  // the width binds
      {1600, 400, 189, 116, 464, 116},   // a wide photo: the height binds
      {400, 1200, 189, 116, 189, 567},   // a tall one
      {100, 60, 189, 116, 100, 60},      // smaller than the box: whole
      {300, 200, 0, 0, 300, 200},        // no box: whole
      {300, 200, 150, 0, 150, 100},      // only a width asked for
  };
  for (const ScaleCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const auto bytes = EncodeTestWebp(c.width, c.height);
    const RgbImage image = DecodeWebp(bytes.data(), bytes.size(), c.cover_width, c.cover_height);
    EXPECT_EQ(image.width, c.want_width);
    EXPECT_EQ(image.height, c.want_height);
    EXPECT_EQ(image.pixels.size(), static_cast<size_t>(c.want_width) * c.want_height * 3);
  }
}

TEST(DecodeWebp, CutShortFileGivesTheRowsThatArrived) {
  auto bytes = EncodeTestWebp(320, 240);
  bytes.resize(bytes.size() * 2 / 3);
  const RgbImage image = DecodeWebp(bytes.data(), bytes.size());
  ASSERT_EQ(image.width, 320);
  ASSERT_EQ(image.height, 240);
  // The last row never arrived and is grey; the first did and is not.
  const uint8_t* last = &image.pixels[image.pixels.size() - 3];
  EXPECT_EQ(last[0], 0x80);
  EXPECT_EQ(last[2], 0x80);
  EXPECT_LT(image.pixels[0], 40);
}

TEST(DecodeWebp, HostileBytesGiveAnEmptyImage) {
  const auto good = EncodeTestWebp(32, 32);
  std::vector<std::string> cases = {"",
                                    "RIFF",
                                    "RIFF\x10\0\0\0WEBP",
                                    "RIFF\x10\0\0\0WEBPVP8 \xff\xff\xff\xff garbage",
                                    "<html>not a photo</html>",
                                    AsText(good).substr(0, 20)};
  std::string zeroed = AsText(good);
  for (size_t i = 20; i < zeroed.size(); ++i) zeroed[i] = 0;
  cases.push_back(zeroed);
  for (const std::string& bytes : cases) {
    SCOPED_TRACE(bytes.size());
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    EXPECT_TRUE(DecodeWebp(data, bytes.size(), 189, 116).Empty());
  }
  EXPECT_TRUE(DecodeWebp(nullptr, 0).Empty());
}

TEST(DecodePhotoFile, ChoosesTheDecoderByTheFirstBytesNotTheName) {
  testing::TempDir dir;
  // Names that lie: the service's .jpg answer may hold WebP bytes and the other way round.
  testing::WriteAll(dir.File("a.jpg"), AsText(EncodeTestWebp(400, 300)));
  testing::WriteAll(dir.File("b.webp"), AsText(testing::EncodeTestJpeg(400, 300)));
  const RgbImage webp = DecodePhotoFile(dir.File("a.jpg"), 189, 116);
  EXPECT_EQ(webp.width, 189);
  EXPECT_EQ(webp.height, 142);
  const RgbImage jpeg = DecodePhotoFile(dir.File("b.webp"), 189, 116);
  EXPECT_EQ(jpeg.width, 200);  // JPEG scales by eighths
  EXPECT_EQ(jpeg.height, 150);
  testing::WriteAll(dir.File("c.jpg"), "neither");
  EXPECT_TRUE(DecodePhotoFile(dir.File("c.jpg")).Empty());
  EXPECT_TRUE(DecodePhotoFile(dir.File("missing.webp")).Empty());
}

}  // namespace
}  // namespace tarn
