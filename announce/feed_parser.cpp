// SPDX-License-Identifier: MIT
#include "announce/feed_parser.h"

namespace tarn {
namespace {

// The paragraph's text: from the end of its marker up to the first "</P>" after it.
std::string ParagraphText(std::string_view from_marker, size_t marker_length) {
  const size_t end = from_marker.find(kParagraphEnd);
  if (end == std::string_view::npos) return {};
  return std::string(from_marker.substr(marker_length, end - marker_length));
}

}  // namespace

std::vector<std::string> ParseAnnouncements(std::string_view page) {
  std::vector<std::string> entries;
  for (size_t title = page.find(kTitleMarker); title != std::string_view::npos;) {
    const std::string_view from_title = page.substr(title);
    entries.push_back(ParagraphText(from_title, kTitleMarker.size()));
    const size_t link = page.find(kLinkMarker, title + kTitleMarker.size());
    if (link == std::string_view::npos) {
      // No link anywhere after this title: keep the pair whole and go on with the next title,
      // so the scan always moves forward.
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
