// SPDX-License-Identifier: MIT
#pragma once

#include "download/named_list_source.h"

namespace tarn {

// A note's or a group topic's pictures: one page, its title and author in the text file.
class PostSource final : public NamedListSource {
 public:
  enum class Kind { kNote, kTopic };
  PostSource(Kind kind, std::string text_file)
      : NamedListSource(std::move(text_file)), kind_(kind) {}

  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  PhotoLadder Ladder() const override {
    return kind_ == Kind::kNote ? PhotoLadder::kNote : PhotoLadder::kTopic;
  }

 private:
  Kind kind_;
};

}  // namespace tarn
