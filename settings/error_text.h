// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn {

// The application-wide error report's text: the message with a full stop appended, unless it
// is empty or already ends in a full stop or in a character that sorts before one.
std::string ErrorReportText(std::string_view message);

}  // namespace tarn
