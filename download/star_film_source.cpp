// SPDX-License-Identifier: MIT
#include "download/star_film_source.h"

#include "base/clean_text.h"
#include "download/poster_scanner.h"

namespace tarn {

PageScan StarFilmSource::ReadPage(std::string_view bytes, const std::string&) const {
  const std::string page = ScrubUtf8(bytes);
  PageScan scan;
  scan.facts.emplace().title = ReadPosterTitle(page);  // lists give no description or count
  const std::string_view rest = ScanPosterPhotos(page, [&](PosterPhoto photo) {
    scan.photos.push_back(
        {ListedPhoto{std::move(photo.address), std::move(photo.caption), std::move(photo.size)},
         "p" + photo.id, std::nullopt});
  });
  scan.next = NextPosterPage(rest);
  return scan;
}

}  // namespace tarn
