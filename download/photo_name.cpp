// SPDX-License-Identifier: MIT
#include "download/photo_name.h"

#include <algorithm>
#include <cstdint>

#include "image/webp_decoder.h"

namespace tarn {
namespace {

// Longest photo id taken: real ones are a letter and ten digits.
constexpr size_t kMaxIdBytes = 32;
// Bytes enough to tell the formats apart ("RIFF", size, "WEBP").
constexpr size_t kSniffBytes = 12;

}  // namespace

std::optional<std::string> ServicePhotoId(std::string_view address) {
  address = address.substr(0, address.find_first_of("?#"));
  std::string_view name = address.substr(address.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  if (name.size() < 2 || name.size() > kMaxIdBytes || name[0] != 'p') return std::nullopt;
  for (const char c : name.substr(1))
    if (c < '0' || c > '9') return std::nullopt;
  return std::string(name);
}

std::optional<std::string> PictureId(std::string_view address, std::string_view segment,
                                     bool token_allowed) {
  const size_t at = address.find(segment);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view path = address.substr(at + segment.size());
  path = path.substr(0, path.find_first_of("?#"));
  // <size>/public/p<digits>.<ext>, or <size>/<token>/<uid>/x<digits>.<ext>
  const size_t parts = 1 + static_cast<size_t>(std::count(path.begin(), path.end(), '/'));
  std::string_view name = path.substr(path.rfind('/') + 1);
  const size_t dot = name.find('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return std::nullopt;
  name = name.substr(0, dot);
  const bool open =
      parts == 3 && path.substr(path.find('/')).starts_with("/public/p") && name.starts_with('p');
  const bool private_one = token_allowed && parts == 4 && name.starts_with('x');
  if ((!open && !private_one) || path.starts_with('/')) return std::nullopt;
  if (name.size() < 2 || name.size() > kMaxIdBytes ||
      name.find_first_not_of("0123456789", 1) != std::string_view::npos)
    return std::nullopt;
  return std::string(name);
}

void PhotoBytesJudge::Feed(std::string_view bytes) {
  if (first_.size() < kSniffBytes) first_.append(bytes.substr(0, kSniffBytes - first_.size()));
  size_ += bytes.size();
  jpeg_.Feed(bytes);
}

PhotoBytes PhotoBytesJudge::Verdict() const {
  if (size_ == 0) return PhotoBytes::kEmpty;
  if (LooksLikeWebp(reinterpret_cast<const uint8_t*>(first_.data()), first_.size()))
    return WebpIsWhole(first_, size_) ? PhotoBytes::kPhoto : PhotoBytes::kCut;
  if (first_.starts_with("\xFF\xD8\xFF"))
    return jpeg_.Whole() ? PhotoBytes::kPhoto : PhotoBytes::kCut;
  const size_t text = first_.find_first_not_of(" \t\r\n");
  if (text != std::string_view::npos && first_[text] == '<') return PhotoBytes::kPage;
  return PhotoBytes::kOther;
}

std::string_view SniffPhotoExtension(std::string_view first_bytes) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(first_bytes.data());
  return LooksLikeWebp(bytes, first_bytes.size()) ? ".webp" : ".jpg";
}

}  // namespace tarn
