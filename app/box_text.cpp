// SPDX-License-Identifier: MIT
#include "app/box_text.h"

#include "base/clean_text.h"
#include "base/cut_text.h"

namespace tarn {
namespace {

constexpr std::string_view kZeroWidthSpace = "\u200B";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string WithBreakOpportunities(std::string_view text) {
  std::string out;
  size_t run = 0;
  for (char c : text) {
    if (!IsContinuationByte(c)) {
      if (run == kMaxUnbrokenRun) {
        out += kZeroWidthSpace;
        run = 0;
      }
      run = (c == ' ' || c == '\t' || c == '\n' || c == '\r') ? 0 : run + 1;
    }
    out += c;
  }
  return out;
}

}  // namespace

std::string BoxText(std::string_view raw) {
  const std::string clean = CleanLines(raw);
  std::string_view text = clean;
  std::string shown;
  for (size_t line = 0; !text.empty(); ++line) {
    if (line == kMaxBoxLines) {
      shown += "…";
      break;
    }
    const size_t feed = text.find('\n');
    const std::string_view current = text.substr(0, feed);
    shown += CutText(current, kMaxBoxLineCharacters);
    if (feed == std::string_view::npos) break;
    shown += '\n';
    text.remove_prefix(feed + 1);
  }
  return WithBreakOpportunities(CutText(shown, kMaxBoxCharacters));
}

}  // namespace tarn
