// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

namespace tarn {

// The sizes today's service serves a photo at, from small to large.
enum class PhotoSize { kM, kL, kXl, kRaw };

inline constexpr PhotoSize kDefaultPhotoSize = PhotoSize::kL;

// "m", "l", "xl" or "raw", in any case and with blanks around; nothing for anything else.
std::optional<PhotoSize> ParsePhotoSize(std::string_view text);
std::string_view PhotoSizeName(PhotoSize size);

}  // namespace tarn
