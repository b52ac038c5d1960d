// SPDX-License-Identifier: MIT
#include "settings/error_text.h"

namespace tarn {

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

}  // namespace tarn
