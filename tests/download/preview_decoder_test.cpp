// SPDX-License-Identifier: MIT
#include "download/preview_decoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/jpeg_encode.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// Photos that arrive faster than the eye follows are passed over, never the last one: twenty
// photos 2 ms apart (each decodes well within that) show only a few, and the run's end shows
// the twentieth at once.
TEST(PreviewDecoder, ShowsFewOfAQuickRunAndAlwaysTheLast) {
  testing::TempDir dir;
  std::vector<std::string> paths;
  for (int width = 10; width < 30; ++width) {
    const std::vector<uint8_t> jpeg = testing::EncodeTestJpeg(width, 8);
    paths.push_back(dir.File("p" + std::to_string(width) + ".jpg"));
    testing::WriteAll(paths.back(), std::string(jpeg.begin(), jpeg.end()));
  }
  std::mutex mutex;
  std::vector<int> shown;
  PreviewDecoder decoder([&](RgbImage image) {
    std::lock_guard lock(mutex);
    shown.push_back(image.width);
  });
  for (const std::string& path : paths) {
    decoder.Submit(path);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  decoder.Drain();
  std::lock_guard lock(mutex);
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back(), 29);
  EXPECT_LE(shown.size(), paths.size() / 2);
}

}  // namespace
}  // namespace tarn
