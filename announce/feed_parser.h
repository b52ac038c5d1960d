// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// Paragraph markers of the announcement page, matched exactly and case-sensitively.
inline constexpr std::string_view kTitleMarker = "<P>quorbixtitle:";
inline constexpr std::string_view kLinkMarker = "<P>quorbixurl:";
inline constexpr std::string_view kParagraphEnd = "</P>";

// The announcement page's entries in page order: each title paragraph followed by the first
// link paragraph after it. Entries are the bytes between marker and "</P>", untrimmed; an
// unterminated paragraph gives an empty entry. The scan for the next title resumes at the
// link marker just used, so titles between a title and its link are passed over. A title with
// no link paragraph after it keeps an empty link, so entries always come in pairs.
std::vector<std::string> ParseAnnouncements(std::string_view page);

}  // namespace tarn
