// SPDX-License-Identifier: MIT
#include "image/webp_decoder.h"

#include <webp/decode.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace tarn {
namespace {

// Most pixels an image may have to be decoded: beyond any camera's photo, while a forged
// header may name 16383 x 16383 pixels.
constexpr uint64_t kMaxPixels = 100'000'000;
// The grey a cut-short photo shows where its rows never arrived.
constexpr uint8_t kMissingRowGrey = 0x80;

struct IncrementalDecoderDeleter {
  void operator()(WebPIDecoder* decoder) const { WebPIDelete(decoder); }
};

// The smallest size of `width` x `height` that still covers the box, never larger than the
// image itself; a side of the box that is 0 or less asks nothing.
void CoverSize(int width, int height, int cover_width, int cover_height, int& out_width,
               int& out_height) {
  out_width = width;
  out_height = height;
  const int64_t w = width, h = height;
  const int64_t cw = std::max(cover_width, 0), ch = std::max(cover_height, 0);
  if (cw == 0 && ch == 0) return;
  int64_t scaled_w, scaled_h;
  if (w * ch >= h * cw) {  // the box's height is the one that binds
    scaled_h = ch;
    scaled_w = (w * ch + h - 1) / h;
  } else {
    scaled_w = cw;
    scaled_h = (h * cw + w - 1) / w;
  }
  if (scaled_w >= w || scaled_h >= h) return;
  out_width = static_cast<int>(std::max<int64_t>(scaled_w, 1));
  out_height = static_cast<int>(std::max<int64_t>(scaled_h, 1));
}

}  // namespace

bool LooksLikeWebp(const uint8_t* data, size_t size) {
  return data != nullptr && size >= 12 && std::memcmp(data, "RIFF", 4) == 0 &&
         std::memcmp(data + 8, "WEBP", 4) == 0;
}

RgbImage DecodeWebp(const uint8_t* data, size_t size, int cover_width, int cover_height) {
  if (!LooksLikeWebp(data, size)) return {};
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return {};
  if (WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK) return {};
  const WebPBitstreamFeatures& features = config.input;
  if (features.has_animation || features.width <= 0 || features.height <= 0 ||
      static_cast<uint64_t>(features.width) * static_cast<uint64_t>(features.height) > kMaxPixels)
    return {};

  RgbImage image;
  CoverSize(features.width, features.height, cover_width, cover_height, image.width, image.height);
  if (image.width != features.width || image.height != features.height) {
    config.options.use_scaling = 1;
    config.options.scaled_width = image.width;
    config.options.scaled_height = image.height;
  }
  const size_t stride = static_cast<size_t>(image.width) * 3;
  image.pixels.assign(stride * static_cast<size_t>(image.height), kMissingRowGrey);
  config.output.colorspace = MODE_RGB;
  config.output.is_external_memory = 1;
  config.output.u.RGBA.rgba = image.pixels.data();
  config.output.u.RGBA.stride = static_cast<int>(stride);
  config.output.u.RGBA.size = image.pixels.size();

  // The incremental decoder says how many rows a cut-short file gave.
  std::unique_ptr<WebPIDecoder, IncrementalDecoderDeleter> decoder(
      WebPIDecode(nullptr, 0, &config));
  if (!decoder) return {};
  const VP8StatusCode status = WebPIUpdate(decoder.get(), data, size);
  int rows = 0;
  if (status == VP8_STATUS_OK) {
    rows = image.height;
  } else if (status == VP8_STATUS_SUSPENDED) {
    int width = 0, height = 0, row_stride = 0;
    if (WebPIDecGetRGB(decoder.get(), &rows, &width, &height, &row_stride) == nullptr) rows = 0;
  }
  decoder.reset();
  WebPFreeDecBuffer(&config.output);  // the pixels are ours; this frees libwebp's own state
  if (rows <= 0) return {};
  return image;
}

}  // namespace tarn
