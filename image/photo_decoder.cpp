// SPDX-License-Identifier: MIT
#include "image/photo_decoder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "base/file_path.h"
#include "image/webp_decoder.h"

namespace tarn {
namespace {

// Largest file read for decoding: far beyond any photo the service serves.
constexpr uintmax_t kMaxFileBytes = 256u << 20;

}  // namespace

RgbImage DecodePhotoFile(const std::string& path, int cover_width, int cover_height) {
  std::error_code error;
  const uintmax_t file_size = std::filesystem::file_size(PathFromUtf8(path), error);
  if (error || file_size > kMaxFileBytes) return {};
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  if (!file) return {};
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
  if (LooksLikeWebp(bytes.data(), bytes.size()))
    return DecodeWebp(bytes.data(), bytes.size(), cover_width, cover_height);
  return DecodeJpeg(bytes.data(), bytes.size(), cover_width, cover_height);
}

}  // namespace tarn
