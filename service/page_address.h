// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// The kinds of page a run saves photos from.
enum class PageKind {
  kAlbum,          // http(s)://<photo host>/photos/…, an album's pages
  kStarPhotos,     // https://<photo host>/personage/<id>/photos/
  kFilmPhotos,     // https://<film host>/subject/<id>/photos?type=S|R|W
  kOldStarPhotos,  // https://<film host>/celebrity/<id>/photos/, moved to a star's page
  kPersonAlbums,   // https://<photo host>/people/<name or id>/photos, for a signed-in visitor
  kSitePhotos,     // https://<site host>/<site>/widget/photos/<id>/, a site's album
  kSiteAlbum,      // https://<site host>/<site>/widget/public_album/<id>/, the same
  kNote,           // https://<photo host>/note/<id>/
  kTopic,          // https://<photo host>/group/topic/<id>/
};

// An address the user gave, taken apart by its scheme, host, port and path.
struct PageAddress {
  PageKind kind = PageKind::kAlbum;
  bool https = false;
  std::string
      id;  // the album's, star's, film's, note's or topic's number; empty for an album without one
  char film_type = 0;  // 'S' stills, 'R' posters, 'W' wallpapers, for a film's photos
};

// Reads an address of one of the accepted forms; nothing for any other, also when the host
// only appears somewhere inside it. Only albums have a plain-HTTP form.
std::optional<PageAddress> ReadPageAddress(std::string_view address);

// The message for an address of no accepted form: the forms there are.
std::string AcceptedAddressForms();

}  // namespace tarn
