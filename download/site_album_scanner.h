// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

// One photo as a site's album page lists it.
struct SitePhoto {
  std::string id;       // "p2918226736"
  std::string address;  // the listed image, /view/photo/thumb/public/p<id>.jpg
  std::string caption;  // the link's title, else its "desc" text; entities decoded, may be empty

  bool operator==(const SitePhoto&) const = default;
};

// Scans a site's album page: every <a> of class "album_photo" is an entry, its first <img>
// before the link closes gives the address (a public photo's at one of the site's sizes,
// /view/photo/<thumb|photo|l|large|raw>/public/p<id>),
// its `title` the caption, else the first <p> of the <div class="desc"> after it. Entries
// without such an image are skipped. Calls `found` in page order and returns the rest of the
// page after the last entry (the whole page without one), where the next-page link is looked
// for. Work and memory stay linear in the page's size.
std::string_view ScanSitePhotos(std::string_view page,
                                const std::function<void(SitePhoto photo)>& found);

}  // namespace tarn
