// SPDX-License-Identifier: MIT
#include "download/poster_list_source.h"

#include "download/album_text.h"
#include "download/poster_scanner.h"
#include "download/run_context.h"

namespace tarn {

std::optional<std::string> PosterListSource::ReadPage(RunContext& run, std::string_view bytes,
                                                      const std::string& address) {
  const std::string page = BeginPage(bytes, address);
  if (FirstPage()) facts_.title = ReadPosterTitle(page);
  const std::string_view rest = ScanPosterPhotos(page, [&](PosterPhoto photo) {
    List(run,
         ListedPhoto{std::move(photo.address), std::move(photo.caption), std::move(photo.size)},
         "p" + photo.id);
  });
  return EndPage(run, NextPosterPage(rest), address);
}

void PosterListSource::WriteText(const RunContext& run, const std::string& folder,
                                 const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    entries.push_back({names[i], Photo(run, i).caption, Photo(run, i).size});
  WriteListText(folder, text_file_, first_address_, facts_, entries);
}

}  // namespace tarn
