// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// Pixels as packed 8-bit RGB rows, top row first.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height * 3 bytes
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Decodes a JPEG with libjpeg. With a cover size, picks the smallest DCT scale (k/8) whose
// output still covers it, so a preview never decodes more than it shows. Warnings are
// ignored, so a cut-short file gives the rows that arrived (the rest grey); a hard error
// keeps the rows decoded before it. Never aborts the process: bad bytes, and images too large
// to decode in bounded memory, give an empty image.
RgbImage DecodeJpeg(const uint8_t* data, size_t size, int cover_width = 0, int cover_height = 0);

}  // namespace tarn
