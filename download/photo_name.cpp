// SPDX-License-Identifier: MIT
#include "download/photo_name.h"

#include <cstdint>

#include "image/webp_decoder.h"

namespace tarn {
namespace {

// Longest stem taken from an address: real ones are a letter and ten digits, and file
// systems refuse names over 255 bytes.
constexpr size_t kMaxStemBytes = 100;

bool IsSafe(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

}  // namespace

std::string PhotoFileStem(std::string_view address, size_t position) {
  address = address.substr(0, address.find_first_of("?#"));
  std::string_view name = address.substr(address.rfind('/') + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  std::string stem;
  for (const char c : name) {
    if (stem.empty() && c == '.') continue;  // no hidden files
    stem += IsSafe(c) ? c : '_';
    if (stem.size() == kMaxStemBytes) break;
  }
  if (stem.empty()) stem = "photo_" + std::to_string(position + 1);
  return stem;
}

std::string_view SniffPhotoExtension(std::string_view first_bytes) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(first_bytes.data());
  return LooksLikeWebp(bytes, first_bytes.size()) ? ".webp" : ".jpg";
}

}  // namespace tarn
