// SPDX-License-Identifier: MIT
// Downloaded "photos" as the preview decodes them: any bytes at all. The result is empty or a
// whole image of bounded size, the same at every decode; libjpeg's errors never leave the
// decoder.
#include <cstdint>

#include "image/jpeg_decoder.h"
#include "fuzz_check.h"

namespace {

// The preview's size; the decoder picks the smallest scale that still covers it.
constexpr int kCoverWidth = 189;
constexpr int kCoverHeight = 116;
// libjpeg's own bound on either side of an image.
constexpr int64_t kMaxSide = 65500;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tarn::fuzz::Check;
  const tarn::RgbImage image = tarn::DecodeJpeg(data, size, kCoverWidth, kCoverHeight);
  if (image.Empty()) return 0;
  Check(image.width <= kMaxSide && image.height <= kMaxSide, "sides within JPEG's range");
  Check(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 3,
        "three bytes for every pixel");
  // Memory that was never written would show as a second decode that differs.
  const tarn::RgbImage again = tarn::DecodeJpeg(data, size, kCoverWidth, kCoverHeight);
  Check(again.width == image.width && again.height == image.height && again.pixels == image.pixels,
        "the same bytes decode to the same picture");
  return 0;
}
