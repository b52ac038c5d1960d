// SPDX-License-Identifier: MIT
#include "download/album_photo_scanner.h"

#include "base/text.h"
#include "download/html_tag.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kPhotoMarker = "photolst_photo";
constexpr std::string_view kImageTag = "<img";

// The caption in the `title` of the tag that holds the marker at `marker`, the tag opening
// after `from`; sets `after_tag` past the tag when the marker stands inside one.
std::string LinkCaption(std::string_view region, size_t from, size_t marker, size_t& after_tag) {
  const size_t found = region.substr(from, marker - from).rfind('<');
  if (found == std::string_view::npos) return {};
  const size_t open = from + found;
  size_t at = open + 1;
  while (at < region.size() && static_cast<unsigned char>(region[at]) > ' ' && region[at] != '>')
    ++at;
  size_t end = 0;
  const std::string_view title = FirstAttribute(region, at, "title", end).value_or("");
  // A tag that closed before the marker does not carry it.
  if (end != std::string_view::npos && end <= marker) return {};
  after_tag = end == std::string_view::npos ? region.size() : end;
  return CutUtf8(DecodeHtmlEntities(Trim(title)), kMaxCaptionBytes);
}

}  // namespace

std::string_view ScanAlbumPhotos(std::string_view page,
                                 const std::function<void(ListedPhoto photo)>& found) {
  size_t rest = 0;
  size_t done = 0;  // nothing before this is looked at again
  size_t marker = page.find(kPhotoMarker);
  while (marker != std::string_view::npos) {
    const size_t next = page.find(kPhotoMarker, marker + kPhotoMarker.size());
    // Everything of this entry stands before the next marker: a tag never closed on a
    // hostile page then costs only its own entry.
    const std::string_view region =
        page.substr(0, next == std::string_view::npos ? page.size() : next);
    size_t after_link = marker + kPhotoMarker.size();
    std::string caption = LinkCaption(region, done, marker, after_link);
    done = after_link;
    const size_t image = FindTag(region, after_link, kImageTag);
    if (image != std::string_view::npos) {
      size_t end = 0;
      const std::string_view src =
          FirstAttribute(region, image + kImageTag.size(), "src", end).value_or("");
      done = end == std::string_view::npos ? region.size() : end;
      std::string address = DecodeHtmlEntities(Trim(src));
      if (!address.empty() && address.size() <= kMaxAddressBytes) {
        found(ListedPhoto{std::move(address), std::move(caption), {}});
        rest = done;
      }
    }
    marker = next;
  }
  return page.substr(rest);
}

}  // namespace tarn
