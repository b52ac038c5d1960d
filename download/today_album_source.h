// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "download/album_facts.h"
#include "download/photo_source.h"

namespace tarn {

// An album of today's service: its pages in today's markup, photos saved in the size the user
// chose as `p<id>.jpg` (or `.webp`), the album's text file beside them.
class TodayAlbumSource final : public PhotoSource {
 public:
  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;
  void SavePhotos(RunContext& run) override;

 private:
  void WriteText(const RunContext& run, const std::string& folder) const;

  std::string album_address_;  // the first page: the Referer of every photo
  AlbumFacts facts_;
  std::set<std::string> listed_;  // each photo is listed once however often pages repeat it
  std::vector<std::optional<std::string>> ids_;  // beside the run's photos
  std::vector<std::string> names_;               // the file each photo has or will have
};

}  // namespace tarn
