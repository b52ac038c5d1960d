// SPDX-License-Identifier: MIT
#pragma once

#include "download/photo_source.h"

namespace tarn {

// A star's or a film's photos: the service's grids of photos, walked by their `start=` links,
// with the name, address, count and each photo's size and caption in `text_file`.
class StarFilmSource final : public PhotoSource {
 public:
  explicit StarFilmSource(std::string text_file) : text_file_(std::move(text_file)) {}

  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  void WriteText(const std::string& folder, const WalkedList& list,
                 const std::vector<std::string>& names) const override;

 private:
  std::string text_file_;
};

}  // namespace tarn
