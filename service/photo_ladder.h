// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/photo_size.h"

namespace tarn {

// One address to ask for a photo at.
struct PhotoAttempt {
  std::string address;
  std::optional<PhotoSize> size;  // nothing when the address names no size
};

// The addresses to try for a photo a page lists, in order: at the chosen size the .jpg, then
// the listed extension when it is not .jpg; then the next smaller size the same way, down to
// the listed size. A chosen size below the listed one is tried first, then the listed size.
// A list size below "m" ("photo", "s", "sqs") is tried last, after "m".
// An address without a /view/photo/<size>/ segment of a known size is tried as it is.
std::vector<PhotoAttempt> PhotoAttempts(std::string_view listed, PhotoSize chosen);

// The sizes of other pages' pictures, each a ladder of its own under its own path segment.
enum class PhotoLadder {
  kAlbum,  // an album's, a star's or a film's photos: PhotoAttempts
  kSite,   // a site's album: /view/photo/<thumb|photo|l|large|raw>/
  kNote,   // a note's pictures: /view/note/<small|l|large|raw>/
  kTopic,  // a group topic's pictures: /view/group_topic/<l|large|raw>/
};

// The same for a picture of a `ladder` other than an album's. The chosen size stands for the
// rung of its name: "m" for the one below "l", "xl" for "large". A rung the listed address
// names is where the way down ends; an address of any other shape is tried as it is.
std::vector<PhotoAttempt> PhotoAttempts(std::string_view listed, PhotoSize chosen,
                                        PhotoLadder ladder);

}  // namespace tarn
