// SPDX-License-Identifier: MIT
// A site's album page from a server we do not control, scrubbed as the source scrubs it: one
// photo per "album_photo" link at most, each named by the id its address ends with, bounded
// captions, and the rest and the next address within the page.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/clean_text.h"
#include "base/text.h"
#include "download/album_photo_scanner.h"
#include "download/poster_scanner.h"
#include "download/site_album_scanner.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  using fuzz::Check;
  const std::string page = ScrubUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  size_t photos = 0;
  size_t links = 0;
  for (size_t at = page.find("album_photo"); at != std::string::npos;
       at = page.find("album_photo", at + 1))
    ++links;
  const std::string_view rest = ScanSitePhotos(page, [&](SitePhoto photo) {
    ++photos;
    Check(photo.id.size() >= 2 && photo.id[0] == 'p' &&
              photo.id.find_first_not_of("0123456789", 1) == std::string::npos,
          "an id is p and digits");
    Check(photo.address.find("/public/" + photo.id + ".") != std::string::npos,
          "the id is the one the address ends with");
    Check(photo.caption.size() <= kMaxCaptionBytes, "captions keep to their limit");
  });
  Check(photos <= links, "one photo per entry at most");
  Check(rest.data() >= page.data() && rest.data() + rest.size() <= page.data() + page.size(),
        "the rest lies within the page");
  const std::optional<std::string> next = NextPosterPage(rest);
  Check(!next || (!next->empty() && Trim(*next) == *next), "a next address is trimmed");
  return 0;
}
