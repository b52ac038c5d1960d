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

// Announcements kept: the window shows six, and each further one of a broken or hostile feed
// would cost another pass over the page.
inline constexpr size_t kMaxAnnouncements = 100;
// Longest title or link: far beyond one line of a label. A paragraph whose "</P>" lies further
// off counts as unterminated, so that nested markers cannot make every entry hold the rest of
// the page.
inline constexpr size_t kMaxEntryLength = 64 * 1024;

// The announcement page's entries in page order: each title paragraph followed by the first
// link paragraph after it. Entries are the bytes between marker and "</P>", untrimmed; an
// unterminated paragraph, or one longer than kMaxEntryLength, gives an empty entry. The scan
// for the next title resumes at the link marker just used, so titles between a title and its
// link are passed over. A title with no link paragraph after it keeps an empty link, so
// entries always come in pairs. The first kMaxAnnouncements pairs are kept.
std::vector<std::string> ParseAnnouncements(std::string_view page);

}  // namespace tarn
