// SPDX-License-Identifier: MIT
#include "base/cut_text.h"

#include "base/clean_text.h"

namespace tarn {
namespace {

constexpr std::string_view kEllipsis = "…";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

std::string CutText(std::string_view text, size_t characters) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i])) continue;
    if (seen == characters) return std::string(text.substr(0, i)) + std::string(kEllipsis);
    ++seen;
  }
  return std::string(text);
}

std::string QuotedText(std::string_view text, size_t characters) {
  return CutText(CleanText(text), characters);
}

}  // namespace tarn
