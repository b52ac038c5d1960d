// SPDX-License-Identifier: MIT
#pragma once

#include "download/photo_source.h"

namespace tarn {

// A list whose text file has a name of its own (`text_file`): the list's facts, then each
// photo's file name, size and caption.
class NamedListSource : public PhotoSource {
 public:
  explicit NamedListSource(std::string text_file) : text_file_(std::move(text_file)) {}

  void WriteText(const std::string& folder, const WalkedList& list,
                 const std::vector<std::string>& names) const override;

 private:
  std::string text_file_;
};

}  // namespace tarn
