// SPDX-License-Identifier: MIT
#include "download/star_film_source.h"

#include "base/clean_text.h"
#include "download/album_text.h"
#include "download/page_walk.h"
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

void StarFilmSource::WriteText(const std::string& folder, const WalkedList& list,
                               const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    entries.push_back({names[i], list.photos[i].listed.caption, list.photos[i].listed.size});
  WriteListText(folder, text_file_, list.address, list.facts, entries);
}

}  // namespace tarn
