// SPDX-License-Identifier: MIT
#pragma once

#include "download/named_list_source.h"

namespace tarn {

// A star's or a film's photos: the service's grids of photos, walked by their `start=` links,
// with the name, address, count and each photo's size and caption in the text file.
class StarFilmSource final : public NamedListSource {
 public:
  using NamedListSource::NamedListSource;

  PageScan ReadPage(std::string_view page, const std::string& address) const override;
};

}  // namespace tarn
