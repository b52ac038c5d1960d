// SPDX-License-Identifier: MIT
#pragma once

#include "download/photo_source.h"

namespace tarn {

// An album of today's service: its pages in today's markup, the album's facts and captions in
// `album_<id>.txt` beside the photos.
class AlbumSource final : public PhotoSource {
 public:
  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  void WriteText(const std::string& folder, const WalkedList& list,
                 const std::vector<std::string>& names) const override;
};

}  // namespace tarn
