// SPDX-License-Identifier: MIT
#include <iomanip>
#include <locale>
#include <sstream>

#include "net/date_fields.h"

namespace tarn::net {

std::optional<std::tm> ReadDateFields(const std::string& text, const char* form) {
  // Windows has no strptime; the C++ library's reader takes the same forms.
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  std::tm fields{};
  in >> std::get_time(&fields, form);
  if (in.fail() || in.peek() != std::char_traits<char>::eof()) return std::nullopt;
  return fields;
}

std::time_t GmtSeconds(std::tm& fields) { return _mkgmtime(&fields); }

std::tm GmtFields(std::time_t moment) {
  std::tm fields{};
  gmtime_s(&fields, &moment);
  return fields;
}

}  // namespace tarn::net
