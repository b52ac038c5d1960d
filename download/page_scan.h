// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "download/album_facts.h"
#include "download/album_photo_scanner.h"
#include "download/download_events.h"

namespace tarn {

// A photo as a page lists it, with the service's own name of it.
struct ScannedPhoto {
  ListedPhoto listed;
  // "p2918226736", or nothing when the address holds no such name (it cannot be saved then).
  std::optional<std::string> id;
  // The photo's own page, where its large address stands (photos only friends see).
  std::optional<std::string> own_page;
};

// A list of photos that a list of lists names (an album of a person's).
struct ScannedList {
  std::string id;
  std::string title;
  std::string address;
};

// What one page gave: its photos or lists, where the walk goes next, and what the list's text
// file tells. A source reads a page into this and asks for nothing.
struct PageScan {
  std::vector<ScannedPhoto> photos;
  std::vector<ScannedList> lists;
  std::optional<std::string> next;  // the next page; nothing where the walk ends
  std::optional<AlbumFacts> facts;  // what a list's first page says of the list
  // Why the list cannot be read at all (the service's notice of an album it does not show);
  // `stop` is what it ends a run of this list alone with.
  std::optional<RunResult::Stop> stop;
  std::string why;
};

}  // namespace tarn
