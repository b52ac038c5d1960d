// SPDX-License-Identifier: MIT
#pragma once

#include "download/named_list_source.h"

namespace tarn {

// A site's album: its pages of thumbnails walked by their `start=` links, the photos asked for
// up the site's ladder, the title, address and captions in the text file.
class SiteAlbumSource final : public NamedListSource {
 public:
  using NamedListSource::NamedListSource;

  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  PhotoLadder Ladder() const override { return PhotoLadder::kSite; }
};

}  // namespace tarn
