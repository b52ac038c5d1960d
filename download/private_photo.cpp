// SPDX-License-Identifier: MIT
#include "download/private_photo.h"

#include "base/text.h"
#include "download/html_tag.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kSizeSegment = "/view/photo/";
// Longest address taken: real ones are under 200 bytes.
constexpr size_t kMaxAddressBytes = 4096;
// Most digits a photo id may have: the service's have ten.
constexpr size_t kMaxIdDigits = 20;

}  // namespace

std::optional<std::string> PrivatePhotoId(std::string_view address) {
  const size_t segment = address.find(kSizeSegment);
  if (segment == std::string_view::npos) return std::nullopt;
  std::string_view path = address.substr(segment + kSizeSegment.size());
  path = path.substr(0, path.find_first_of("?#"));
  // <size>/<token>/<uid>/x<digits>.<ext>: four parts, the last one named by the id.
  size_t slashes = 0;
  for (const char c : path) slashes += c == '/';
  if (slashes != 3) return std::nullopt;
  std::string_view name = path.substr(path.rfind('/') + 1);
  name = name.substr(0, name.find('.'));
  if (name.size() < 2 || name.size() > kMaxIdDigits + 1 || name[0] != 'x') return std::nullopt;
  if (name.find_first_not_of("0123456789", 1) != std::string_view::npos) return std::nullopt;
  return "p" + std::string(name.substr(1));
}

std::optional<std::string> MainPhotoAddress(std::string_view page) {
  for (size_t at = FindTag(page, 0, "<div"); at != std::string_view::npos;
       at = FindTag(page, at + 1, "<div")) {
    size_t end = 0;
    const std::optional<std::string_view> classes = FirstAttribute(page, at + 4, "class", end);
    if (!classes || !(HasClass(*classes, "mainphoto") || HasClass(*classes, "image-show-inner")))
      continue;
    const size_t image = FindTag(page, end == std::string_view::npos ? page.size() : end, "<img");
    if (image == std::string_view::npos) return std::nullopt;
    size_t image_end = 0;
    const std::optional<std::string_view> src = FirstAttribute(page, image + 4, "src", image_end);
    if (!src) return std::nullopt;
    std::string address = DecodeHtmlEntities(Trim(*src));
    if (address.empty() || address.size() > kMaxAddressBytes) return std::nullopt;
    return address;
  }
  return std::nullopt;
}

}  // namespace tarn
