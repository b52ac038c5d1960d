// SPDX-License-Identifier: MIT
#include "image/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "base/file_path.h"

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t declared first
// clang-format on

namespace tarn {
namespace {

// Most pixels an image may have to be decoded: beyond any camera's photo, while a forged
// header may name 65500 x 65500 pixels and ask for 12 GB.
constexpr uint64_t kMaxPixels = 100'000'000;
// Most memory libjpeg may take for its own buffers (a progressive image keeps all of its
// coefficients); beyond it the decode fails instead of exhausting memory.
constexpr long kMaxDecoderMemory = 512L << 20;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

// libjpeg's default error_exit calls exit(); jump back to the decoder instead.
[[noreturn]] void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

void IgnoreMessage(j_common_ptr, int) {}
void SilentOutput(j_common_ptr) {}

// Picks k in 1..8 so that k/8 of the image still covers the wanted size.
unsigned ScaleNumerator(const jpeg_decompress_struct& info, int cover_width, int cover_height) {
  if (cover_width <= 0 && cover_height <= 0) return 8;
  for (unsigned k = 1; k < 8; ++k) {
    const long w = (static_cast<long>(info.image_width) * k + 7) / 8;
    const long h = (static_cast<long>(info.image_height) * k + 7) / 8;
    if (w >= cover_width && h >= cover_height) return k;
  }
  return 8;
}

void CmykRowToRgb(const JSAMPLE* in, uint8_t* out, unsigned width, bool inverted) {
  for (unsigned x = 0; x < width; ++x, in += 4, out += 3) {
    int c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    out[0] = static_cast<uint8_t>(c * k / 255);
    out[1] = static_cast<uint8_t>(m * k / 255);
    out[2] = static_cast<uint8_t>(y * k / 255);
  }
}

// Everything touched after setjmp lives here, outside the function's automatic variables.
struct DecodeState {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  RgbImage image;
  std::vector<JSAMPLE> row;
  unsigned rows_done = 0;
  bool cmyk = false;
};

void Decode(DecodeState& s, const uint8_t* data, size_t size, int cover_width, int cover_height) {
  s.info.err = jpeg_std_error(&s.errors.base);
  s.errors.base.error_exit = ErrorExit;
  s.errors.base.emit_message = IgnoreMessage;
  s.errors.base.output_message = SilentOutput;
  if (setjmp(s.errors.jump) != 0) {
    // A hard error: keep whatever rows were finished.
    if (s.rows_done == 0) {
      s.image = RgbImage{};
    } else {
      s.image.height = static_cast<int>(s.rows_done);
      s.image.pixels.resize(static_cast<size_t>(s.image.width) * s.rows_done * 3);
    }
    jpeg_destroy_decompress(&s.info);
    return;
  }
  jpeg_create_decompress(&s.info);
  s.info.mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(&s.info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&s.info, TRUE);
  if (static_cast<uint64_t>(s.info.image_width) * s.info.image_height > kMaxPixels) {
    jpeg_destroy_decompress(&s.info);
    return;
  }
  s.cmyk = s.info.jpeg_color_space == JCS_CMYK || s.info.jpeg_color_space == JCS_YCCK;
  s.info.out_color_space = s.cmyk ? JCS_CMYK : JCS_RGB;
  s.info.scale_num = ScaleNumerator(s.info, cover_width, cover_height);
  s.info.scale_denom = 8;
  jpeg_start_decompress(&s.info);
  s.image.width = static_cast<int>(s.info.output_width);
  s.image.height = static_cast<int>(s.info.output_height);
  const size_t stride = static_cast<size_t>(s.info.output_width) * 3;
  s.image.pixels.assign(stride * s.info.output_height, 0);
  s.row.resize(static_cast<size_t>(s.info.output_width) * s.info.output_components);
  const bool inverted = s.info.saw_Adobe_marker;
  while (s.info.output_scanline < s.info.output_height) {
    JSAMPROW rows[1] = {s.row.data()};
    if (jpeg_read_scanlines(&s.info, rows, 1) != 1) break;
    uint8_t* out = s.image.pixels.data() + stride * s.rows_done;
    if (s.cmyk)
      CmykRowToRgb(s.row.data(), out, s.info.output_width, inverted);
    else
      std::copy(s.row.begin(), s.row.begin() + static_cast<ptrdiff_t>(stride), out);
    ++s.rows_done;
  }
  jpeg_finish_decompress(&s.info);
  jpeg_destroy_decompress(&s.info);
}

}  // namespace

RgbImage DecodeJpeg(const uint8_t* data, size_t size, int cover_width, int cover_height) {
  if (data == nullptr || size == 0) return {};
  auto state = std::make_unique<DecodeState>();
  Decode(*state, data, size, cover_width, cover_height);
  return std::move(state->image);
}

}  // namespace tarn
