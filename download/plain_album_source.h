// SPDX-License-Identifier: MIT
#pragma once

#include "download/photo_source.h"

namespace tarn {

// An album over plain HTTP, as the program was first made for: thumbnails turned into photo
// addresses, every address as often as the pages list it.
class PlainAlbumSource final : public PhotoSource {
 public:
  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  bool ListsOnce() const override { return false; }
};

}  // namespace tarn
