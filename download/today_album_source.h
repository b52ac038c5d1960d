// SPDX-License-Identifier: MIT
#pragma once

#include "download/album_facts.h"
#include "download/service_source.h"

namespace tarn {

// An album of today's service: its pages in today's markup, the album's facts and captions in
// `album_<id>.txt` beside the photos.
class TodayAlbumSource final : public ServiceSource {
 public:
  // An album that is not public ends the run, unless it is one of many, which are passed
  // over: NotPublic() tells.
  using ServiceSource::ServiceSource;
  bool NotPublic() const { return not_public_; }

  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;
  // A walk over every page that found fewer photos than the album says it holds says so.
  bool AfterWalk(RunContext& run) override;
  // "The album says N, M were found", when the pages listed fewer than the album's count.
  std::optional<std::string> Shortfall() const;

 private:
  void WriteText(const RunContext& run, const std::string& folder,
                 const std::vector<std::string>& names) const override;
  // A photo only a signed-in visitor sees has its large address on its own page.
  std::optional<std::vector<PhotoAttempt>> Attempts(RunContext& run, size_t index,
                                                    std::string& why) override;

  AlbumFacts facts_;
  bool not_public_ = false;
};

}  // namespace tarn
