// SPDX-License-Identifier: MIT
#include "service/hosts.h"

#include <cstdlib>

namespace tarn {
namespace {

std::string FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

}  // namespace

std::string PhotoHost() { return FromEnvironment("TARN_PHOTO_HOST", TARN_DEFAULT_PHOTO_HOST); }

std::string MovieHost() { return FromEnvironment("TARN_MOVIE_HOST", TARN_DEFAULT_MOVIE_HOST); }

std::string SiteHost() { return FromEnvironment("TARN_SITE_HOST", TARN_DEFAULT_SITE_HOST); }

std::string PhotoPrefix() { return "http://" + PhotoHost() + "/photos/"; }

std::string SampleAlbumUrl() { return PhotoPrefix() + "album/1681427427/"; }

}  // namespace tarn
