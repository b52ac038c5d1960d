// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// The photo service's host (may carry ":port"): TARN_PHOTO_HOST, else the build default.
std::string PhotoHost();

// The film pages' host (may carry ":port"): TARN_MOVIE_HOST, else the build default.
std::string MovieHost();

// The sites' host (may carry ":port"): TARN_SITE_HOST, else the build default.
std::string SiteHost();

// "http://" + host + "/photos/": the address form the program was made for.
std::string PhotoPrefix();

// The sample album address shown in the address box at start.
std::string SampleAlbumUrl();

}  // namespace tarn
