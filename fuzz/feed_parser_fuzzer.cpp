// SPDX-License-Identifier: MIT
// Announcement pages as any server may send them. The entries come in title and link pairs,
// each the bytes of one marked paragraph exactly as they stand in the page, within the limits
// on their count and length.
#include <cstdint>
#include <string>
#include <string_view>

#include "announce/feed_parser.h"
#include "fuzz_check.h"

namespace tarn {
namespace {

using fuzz::Check;

size_t Count(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != text.npos; at = text.find(part, at + 1)) ++count;
  return count;
}

bool IsParagraph(std::string_view page, std::string_view marker, const std::string& entry) {
  return entry.empty() ||
         page.find(std::string(marker) + entry + std::string(kParagraphEnd)) != page.npos;
}

}  // namespace
}  // namespace tarn

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> entries = ParseAnnouncements(page);
  Check(entries.size() % 2 == 0, "entries come in pairs");
  Check(entries.size() / 2 <= Count(page, kTitleMarker), "one pair per title marker at most");
  Check(entries.size() <= 2 * kMaxAnnouncements, "no more announcements than the limit");
  for (size_t i = 0; i < entries.size(); ++i) {
    Check(entries[i].find(kParagraphEnd) == std::string::npos, "an entry ends at its paragraph");
    Check(entries[i].size() <= kMaxEntryLength, "no entry longer than the limit");
    Check(IsParagraph(page, i % 2 == 0 ? kTitleMarker : kLinkMarker, entries[i]),
          "an entry that is not a paragraph of the page");
  }
  return 0;
}
