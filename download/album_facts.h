// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// What an album page of today's service says about the album itself.
struct AlbumFacts {
  std::string title;                       // without the owner's "…的相册-" before it
  std::string description;                 // tags left out, entities decoded, may hold line breaks
  std::optional<int64_t> photo_count;      // the page's "共N张照片"
  std::optional<std::string> author = {};  // a note's or a topic's, whose text has no description
};

// Reads the facts from an album page (UTF-8); what the page lacks stays empty.
AlbumFacts ReadAlbumFacts(std::string_view page);

// True for the page the service shows instead of an album that is not public: no photo is
// listed, and an element's text begins with the notice (not the description's, not inside a
// tag).
bool AlbumIsNotPublic(std::string_view page);

}  // namespace tarn
