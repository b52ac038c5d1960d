// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The feed page's bytes as text in the program's 8-bit encoding (UTF-8). The charset of the
// answer's Content-Type decides when it names gbk, gb2312, gb18030 or utf-8 (in any case);
// otherwise bytes that are valid UTF-8 are taken as UTF-8 without a leading byte order mark,
// and any others as GB18030, which covers GBK and GB2312: feeds written for Chinese Windows
// are GBK and rarely say so. Each byte the chosen decoder does not take becomes U+FFFD, so the
// ASCII markers around it, and with them every announcement, stay.
std::string DecodeFeedPage(std::string_view bytes, std::string_view content_type);

}  // namespace tarn
