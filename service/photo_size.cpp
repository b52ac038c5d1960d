// SPDX-License-Identifier: MIT
#include "service/photo_size.h"

#include <array>

#include "base/text.h"

namespace tarn {
namespace {

constexpr std::array<std::string_view, 4> kSizeNames = {"m", "l", "xl", "raw"};

}  // namespace

std::optional<PhotoSize> ParsePhotoSize(std::string_view text) {
  text = Trim(text);
  for (size_t i = 0; i < kSizeNames.size(); ++i)
    if (EqualsIgnoringAsciiCase(text, kSizeNames[i])) return static_cast<PhotoSize>(i);
  return std::nullopt;
}

std::string_view PhotoSizeName(PhotoSize size) { return kSizeNames[static_cast<size_t>(size)]; }

}  // namespace tarn
