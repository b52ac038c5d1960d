// SPDX-License-Identifier: MIT
#include "download/album_scanner.h"

#include "base/text.h"

namespace tarn {
namespace {

constexpr std::string_view kPhotoMarker = "photolst_photo";
constexpr std::string_view kImageTag = "<img src=\"";
constexpr std::string_view kImageEnd = "\" />";
constexpr std::string_view kNextSpan = "<span class=\"next\">";
constexpr std::string_view kNextLink = "<link rel=\"next\" href=\"";
constexpr std::string_view kNextLinkEnd = "\"/>";
constexpr std::string_view kLastPageLabel = "后页";

// The text from the marker on, trimmed; the whole text, trimmed, when the marker is absent.
std::string_view CutAt(std::string_view text, std::string_view marker) {
  const size_t at = text.find(marker);
  return Trim(at == std::string_view::npos ? text : text.substr(at));
}

// The characters after a tag's opening up to the first `end`; empty when `end` is missing or
// stands inside the opening.
std::string_view Between(std::string_view text, size_t opening, std::string_view end) {
  const size_t stop = text.find(end);
  if (stop == std::string_view::npos || stop < opening) return {};
  return Trim(text.substr(opening, stop - opening));
}

}  // namespace

std::string ReplaceFirst(std::string_view text, std::string_view old_part,
                         std::string_view new_part) {
  const size_t at = old_part.empty() ? std::string_view::npos : text.find(old_part);
  if (at == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() - old_part.size() + new_part.size());
  out.append(text.substr(0, at)).append(new_part).append(text.substr(at + old_part.size()));
  return out;
}

std::string_view ScanPhotos(std::string_view page,
                            const std::function<void(std::string address)>& found) {
  std::string_view rest = page;
  while (!rest.empty() && rest.find(kPhotoMarker) != std::string_view::npos) {
    rest = CutAt(rest, kPhotoMarker);
    // A marker with no image tag after it: nothing further can be found.
    if (rest.find(kImageTag) == std::string_view::npos) break;
    rest = CutAt(rest, kImageTag);
    // A tag's address ends before the next photo's marker: a close far down a hostile page
    // would otherwise give every photo before it the whole page, in time and memory alike.
    const std::string_view tag = rest.substr(0, rest.find(kPhotoMarker, kImageTag.size()));
    const std::string_view thumb = Between(tag, kImageTag.size(), kImageEnd);
    found(std::string(Trim(ReplaceFirst(thumb, "thumb", "photo"))));
  }
  return rest;
}

std::optional<std::string> NextPageAddress(std::string_view rest) {
  if (rest.empty() || rest.find(kNextSpan) == std::string_view::npos) return std::nullopt;
  rest = CutAt(rest, kNextSpan);
  // The last page's span holds the label and no link. Taking the span's own text for an
  // address finds the label only when blanks pad it; a compact page would send the walk to a
  // page that does not exist and lose the whole run, so no link simply ends the walk.
  if (rest.find(kNextLink) == std::string_view::npos) return std::nullopt;
  rest = CutAt(rest, kNextLink);
  const std::string_view address = Between(rest, kNextLink.size(), kNextLinkEnd);
  if (address.empty() || address.find(kLastPageLabel) != std::string_view::npos)
    return std::nullopt;
  return std::string(address);
}

}  // namespace tarn
