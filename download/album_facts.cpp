// SPDX-License-Identifier: MIT
#include "download/album_facts.h"

#include "base/text.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kOwnerPart = "的相册-";
constexpr std::string_view kDescriptionOpen = "<p class=\"description\">";
constexpr std::string_view kDescriptionClose = "</p>";
constexpr std::string_view kCountOpen = "共";
constexpr std::string_view kCountClose = "张照片";
constexpr std::string_view kNotPublic = "这个相册已被设为";
constexpr std::string_view kPhotoMarker = "photolst_photo";
// Longest title and description kept, in bytes: the service's own limits are far below.
constexpr size_t kMaxTitleBytes = 1024;
constexpr size_t kMaxDescriptionBytes = 64 * 1024;
// Most digits a photo count may have: no album holds a trillion photos.
constexpr size_t kMaxCountDigits = 12;

// The text between `open` and the `close` after it, or nothing when either is missing.
// Whether `at` is inside the album's description paragraph.
bool InsideDescription(std::string_view page, size_t at) {
  const size_t open = page.rfind(kDescriptionOpen, at);
  if (open == std::string_view::npos) return false;
  const size_t close = page.find(kDescriptionClose, open);
  return close == std::string_view::npos || close > at;
}

// Whether the text at `at` is an element's own text, first in it: what lies before it back to
// the last '>' is blank (or the page starts there), and no attribute's quotes hold it.
bool IsElementText(std::string_view page, size_t at) {
  const size_t tag_end = page.rfind('>', at);
  const size_t tag_open = page.rfind('<', at);
  if (tag_open != std::string_view::npos &&
      (tag_end == std::string_view::npos || tag_open > tag_end))
    return false;  // inside a tag: an attribute's value
  const size_t from = tag_end == std::string_view::npos ? 0 : tag_end + 1;
  return Trim(page.substr(from, at - from)).empty();
}

std::optional<int64_t> PhotoCount(std::string_view page) {
  for (size_t at = page.find(kCountOpen); at != std::string_view::npos;
       at = page.find(kCountOpen, at + kCountOpen.size())) {
    size_t digits = at + kCountOpen.size();
    int64_t count = 0;
    while (digits < page.size() && page[digits] >= '0' && page[digits] <= '9' &&
           digits - at - kCountOpen.size() < kMaxCountDigits) {
      count = count * 10 + (page[digits] - '0');
      ++digits;
    }
    if (digits > at + kCountOpen.size() && page.substr(digits).starts_with(kCountClose))
      return count;
  }
  return std::nullopt;
}

}  // namespace

AlbumFacts ReadAlbumFacts(std::string_view page) {
  AlbumFacts facts;
  if (const auto title = PageTitle(page)) {
    std::string text = DecodeHtmlEntities(Trim(*title));
    const size_t owner = text.find(kOwnerPart);
    if (owner != std::string::npos) text.erase(0, owner + kOwnerPart.size());
    facts.title = CutUtf8(std::string(Trim(text)), kMaxTitleBytes);
  }
  if (const auto description = Enclosed(page, kDescriptionOpen, kDescriptionClose)) {
    const std::string text = DecodeHtmlEntities(StripHtmlTags(*description));
    facts.description = CutUtf8(std::string(Trim(text)), kMaxDescriptionBytes);
  }
  facts.photo_count = PhotoCount(page);
  return facts;
}

bool AlbumIsNotPublic(std::string_view page) {
  // The notice stands in place of the photos: a page that lists any is public, and the
  // owner's words (a description, a caption in a title) never count.
  if (page.find(kPhotoMarker) != std::string_view::npos) return false;
  for (size_t at = page.find(kNotPublic); at != std::string_view::npos;
       at = page.find(kNotPublic, at + kNotPublic.size())) {
    if (!InsideDescription(page, at) && IsElementText(page, at)) return true;
  }
  return false;
}

}  // namespace tarn
