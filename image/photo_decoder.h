// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "image/jpeg_decoder.h"

namespace tarn {

// Decodes a saved photo for the preview, as WebP when its first bytes say so and as JPEG
// otherwise, scaled while decoding to the smallest size that still covers the box. A missing,
// unreadable or oversized file, or bytes of neither kind, give an empty image.
RgbImage DecodePhotoFile(const std::string& path, int cover_width = 0, int cover_height = 0);

}  // namespace tarn
