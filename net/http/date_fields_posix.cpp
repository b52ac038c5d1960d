// SPDX-License-Identifier: MIT
#include <locale.h>
#include <time.h>

#include "net/http/date_fields.h"

namespace tarn::net {
namespace {

// Names in dates are English; the program's window layer switches the process locale to the
// user's, so parsing uses a C locale of its own.
locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

}  // namespace

std::optional<std::tm> ReadDateFields(const std::string& text, const char* form) {
  const locale_t c = CLocale();
  if (c == locale_t{}) return std::nullopt;
  std::tm fields{};
  const char* end = strptime_l(text.c_str(), form, &fields, c);
  if (end == nullptr || *end != '\0') return std::nullopt;
  return fields;
}

std::time_t GmtSeconds(std::tm& fields) { return timegm(&fields); }

std::tm GmtFields(std::time_t moment) {
  std::tm fields{};
  gmtime_r(&moment, &fields);
  return fields;
}

}  // namespace tarn::net
