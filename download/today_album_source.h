// SPDX-License-Identifier: MIT
#pragma once

#include "download/album_facts.h"
#include "download/service_source.h"

namespace tarn {

// An album of today's service: its pages in today's markup, the album's facts and captions in
// `album_<id>.txt` beside the photos.
class TodayAlbumSource final : public ServiceSource {
 public:
  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;

 private:
  void WriteText(const RunContext& run, const std::string& folder,
                 const std::vector<std::string>& names) const override;

  AlbumFacts facts_;
};

}  // namespace tarn
