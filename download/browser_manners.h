// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace tarn {

// What a desktop browser accepts for a page and for an image, and the language it prefers:
// today's service looks at these as it does at the User-Agent.
inline constexpr std::string_view kPageAccept =
    "text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,*/*;q=0.8";
inline constexpr std::string_view kImageAccept =
    "image/avif,image/webp,image/apng,image/*,*/*;q=0.8";
inline constexpr std::string_view kAcceptLanguage = "zh-CN,zh;q=0.9";

}  // namespace tarn
