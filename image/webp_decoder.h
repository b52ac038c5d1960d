// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/jpeg_decoder.h"

namespace tarn {

// True when the bytes begin as a WebP file does: "RIFF", four size bytes, "WEBP".
bool LooksLikeWebp(const uint8_t* data, size_t size);

// Decodes a WebP with libwebp. With a cover size, scales while decoding to the smallest size
// that still covers it (keeping the shape), so a preview never decodes more than it shows. A
// cut-short file gives the rows that arrived (the rest grey). Bad bytes, animations and images
// too large to decode in bounded memory give an empty image.
RgbImage DecodeWebp(const uint8_t* data, size_t size, int cover_width = 0, int cover_height = 0);

}  // namespace tarn
