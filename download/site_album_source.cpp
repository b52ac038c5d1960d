// SPDX-License-Identifier: MIT
#include "download/site_album_source.h"

#include "base/clean_text.h"
#include "download/poster_scanner.h"
#include "download/site_album_scanner.h"

namespace tarn {

PageScan SiteAlbumSource::ReadPage(std::string_view bytes, const std::string&) const {
  const std::string page = ScrubUtf8(bytes);
  PageScan scan;
  scan.facts.emplace().title = PostTitle(page);
  const std::string_view rest = ScanSitePhotos(page, [&](SitePhoto photo) {
    scan.photos.push_back({ListedPhoto{std::move(photo.address), std::move(photo.caption), {}},
                           std::move(photo.id), std::nullopt});
  });
  scan.next = NextPosterPage(rest);
  return scan;
}

}  // namespace tarn
