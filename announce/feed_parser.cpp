// SPDX-License-Identifier: MIT
#include "announce/feed_parser.h"

namespace tarn {
namespace {

// The paragraph's text: from the end of its marker up to the first "</P>" after it.
std::string ParagraphText(std::string_view from_marker, size_t marker_length) {
  const std::string_view reach =
      from_marker.substr(0, marker_length + kMaxEntryLength + kParagraphEnd.size());
  const size_t end = reach.find(kParagraphEnd);
  if (end == std::string_view::npos) return {};
  return std::string(from_marker.substr(marker_length, end - marker_length));
}

}  // namespace

std::vector<std::string> ParseAnnouncements(std::string_view page) {
  std::vector<std::string> entries;
  bool links_left = true;
  for (size_t title = page.find(kTitleMarker);
       title != std::string_view::npos && entries.size() < 2 * kMaxAnnouncements;) {
    const std::string_view from_title = page.substr(title);
    entries.push_back(ParagraphText(from_title, kTitleMarker.size()));
    const size_t link =
        links_left ? page.find(kLinkMarker, title + kTitleMarker.size()) : std::string_view::npos;
    if (link == std::string_view::npos) {
      // No link anywhere after this title: keep the pair whole and go on with the next title,
      // so the scan always moves forward. No later title has a link either, and searching
      // again for each would make the parse quadratic.
      links_left = false;
      entries.emplace_back();
      title = page.find(kTitleMarker, title + kTitleMarker.size());
      continue;
    }
    entries.push_back(ParagraphText(page.substr(link), kLinkMarker.size()));
    title = page.find(kTitleMarker, link + kLinkMarker.size());
  }
  return entries;
}

}  // namespace tarn
