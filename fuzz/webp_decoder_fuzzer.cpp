// SPDX-License-Identifier: MIT
// Downloaded "photos" whose first bytes say WebP, as the preview decodes them: any bytes at
// all. The result is empty or a whole image no larger than the header's, the same at every
// decode; libwebp's failures never leave the decoder.
#include <cstdint>

#include "fuzz_check.h"
#include "image/webp_decoder.h"

namespace {

// The preview's size; the decoder scales to the smallest size that still covers it.
constexpr int kCoverWidth = 189;
constexpr int kCoverHeight = 116;
// WebP's own bound on either side of an image.
constexpr int64_t kMaxSide = 16383;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using tarn::fuzz::Check;
  const tarn::RgbImage image = tarn::DecodeWebp(data, size, kCoverWidth, kCoverHeight);
  if (image.Empty()) return 0;
  Check(tarn::LooksLikeWebp(data, size), "only WebP bytes decode");
  Check(image.width <= kMaxSide && image.height <= kMaxSide, "sides within WebP's range");
  Check(image.pixels.size() == static_cast<size_t>(image.width) * image.height * 3,
        "three bytes for every pixel");
  const tarn::RgbImage again = tarn::DecodeWebp(data, size, kCoverWidth, kCoverHeight);
  Check(again.width == image.width && again.height == image.height && again.pixels == image.pixels,
        "the same bytes decode to the same picture");
  return 0;
}
