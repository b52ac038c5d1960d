// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

// One album a person's album list links to.
struct ListedAlbum {
  std::string id;
  std::string address;  // the link as the page gives it, entities decoded
  std::string title;    // the first link to it with text, tags left out; may be empty
};

// Scans a person's album list: every <a> whose href holds "/photos/album/<digits>/" is an
// album, listed once in page order however many links (cover, title) it has. Returns the rest
// of the page after the last such link, where the next page's link is looked for. Work stays
// linear in the page's size.
std::string_view ScanAlbumList(std::string_view page,
                               const std::function<void(ListedAlbum album)>& found);

}  // namespace tarn
