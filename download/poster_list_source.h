// SPDX-License-Identifier: MIT
#pragma once

#include "download/album_facts.h"
#include "download/service_source.h"

namespace tarn {

// A star's or a film's photos: the service's "poster-col3" lists, walked by their `start=`
// links, with the name, address, count and each photo's size and caption in `text_file`.
class PosterListSource final : public ServiceSource {
 public:
  explicit PosterListSource(std::string text_file) : text_file_(std::move(text_file)) {}

  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;

 private:
  void WriteText(const RunContext& run, const std::string& folder,
                 const std::vector<std::string>& names) const override;

  std::string text_file_;
  AlbumFacts facts_;  // the title only: lists give no description or count
};

}  // namespace tarn
