// SPDX-License-Identifier: MIT
#pragma once

#include "download/photo_source.h"

namespace tarn {

// An album over plain HTTP, as the program was first made for: thumbnails turned into photo
// addresses, photos saved as <folder>/<stamp>_<i>.jpg with a stamp no earlier run took.
class PlainAlbumSource final : public PhotoSource {
 public:
  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;
  void SavePhotos(RunContext& run) override;

 private:
  bool SavePhoto(RunContext& run, uint32_t& stamp, size_t index);
};

}  // namespace tarn
