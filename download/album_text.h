// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "download/album_facts.h"

namespace tarn {

// One photo's line in the album's text.
struct AlbumTextEntry {
  std::string file_name;  // as saved in the folder, "p2918226736.jpg"
  std::string caption;
  std::string size = {};  // the dimensions a list gives, "1200x800"; albums give none
};

// The album's id in its address: the digits after "/photos/album/"; nothing without them.
std::optional<std::string> AlbumIdFromAddress(std::string_view address);

// The album's text (UTF-8, LF line ends): title, description (a note's or a topic's author
// in its place), address and photo count (the
// page's count, else the photos listed) on labelled lines, a blank line, then one line per
// photo in album order, its file name, size (when the list gives one) and caption separated by
// tabs. Line breaks and tabs
// inside the values are folded to spaces, so every value keeps to its line.
std::string FormatAlbumText(const AlbumFacts& facts, std::string_view address,
                            const std::vector<AlbumTextEntry>& photos);

// Writes the album's text into `<folder>/album_<id>.txt` ("album.txt" for an address without
// an id), whole or not at all: into a file beside it first, then renamed over the old one.
// Returns the path; raises net::FileStreamError when it cannot be written.
std::string WriteAlbumText(const std::string& folder, std::string_view address,
                           const AlbumFacts& facts, const std::vector<AlbumTextEntry>& photos);

// The same text for another list of photos, into `<folder>/<file_name>`.
std::string WriteListText(const std::string& folder, const std::string& file_name,
                          std::string_view address, const AlbumFacts& facts,
                          const std::vector<AlbumTextEntry>& photos);

}  // namespace tarn
