// SPDX-License-Identifier: MIT
#include "support/jpeg_encode.h"

#include <cstdio>
#include <cstdlib>

// clang-format off
#include <jpeglib.h>  // after <cstdio>: it needs FILE and size_t declared first
// clang-format on

namespace tarn::testing {

std::vector<uint8_t> EncodeTestJpeg(int width, int height, int quality) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<JSAMPLE>(x * 255 / (width > 1 ? width - 1 : 1));
      row[x * 3 + 1] = static_cast<JSAMPLE>(y * 255 / (height > 1 ? height - 1 : 1));
      row[x * 3 + 2] = 64;
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

}  // namespace tarn::testing
