// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

// One photo as an album page of today's service lists it.
struct ListedPhoto {
  std::string address;  // the list-size image, as the page gives it
  std::string caption;  // the full caption, entities decoded; empty when the page has none
  std::string size;     // the dimensions a list gives ("1200x800"); empty on album pages

  bool operator==(const ListedPhoto&) const = default;
};

// Longest caption kept, in bytes: captions are short texts, a hostile page's may not be.
inline constexpr size_t kMaxCaptionBytes = 4096;
// Longest photo address taken: real ones are under 100 bytes.
inline constexpr size_t kMaxAddressBytes = 4096;

// Scans an album page of today's service: after each "photolst_photo" marker the photo's
// address is the `src` attribute of the next <img tag before the following marker, wherever
// it stands among the tag's attributes and whichever quote closes it; the caption is the
// `title` of the link whose tag holds the marker. A marker with no such image, or an image
// without an address, lists nothing. Calls `found` in page order and returns the rest of the
// page after the last photo's tag (the whole page without photos), where the next-page link
// is looked for. Work and memory stay linear in the page's size.
std::string_view ScanAlbumPhotos(std::string_view page,
                                 const std::function<void(ListedPhoto photo)>& found);

}  // namespace tarn
