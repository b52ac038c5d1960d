// SPDX-License-Identifier: MIT
#include "net/http/internet_date.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "net/http/date_fields.h"

namespace tarn::net {
namespace {

// 9999-12-31 23:59:59 GMT: the last moment that a four-digit year can write.
constexpr std::time_t kLatestWritable = 253402300799;
// Longest date text worth reading; real ones are under 40 bytes.
constexpr size_t kMaxDateLength = 64;

// Forms tried in turn; each must consume the whole text. The two-digit RFC 850 year is tried
// before the four-digit variant because "%Y" would read "94" as the year 94.
constexpr std::array<const char*, 4> kForms = {
    "%a, %d %b %Y %H:%M:%S GMT",
    "%a, %d-%b-%y %H:%M:%S GMT",
    "%a, %d-%b-%Y %H:%M:%S GMT",
    "%a %b %d %H:%M:%S %Y",
};

std::optional<std::time_t> ReadForm(const std::string& text, const char* form) {
  const std::optional<std::tm> read = ReadDateFields(text, form);
  if (!read) return std::nullopt;
  const std::tm& fields = *read;
  std::tm normalised = fields;
  const std::time_t moment = GmtSeconds(normalised);
  // timegm quietly turns "31 Feb" into a day of March; such a date names no real day.
  if (normalised.tm_mday != fields.tm_mday || normalised.tm_mon != fields.tm_mon ||
      normalised.tm_year != fields.tm_year) {
    return std::nullopt;
  }
  return moment;
}

}  // namespace

std::optional<std::time_t> ReadInternetDate(std::string_view text) {
  if (text.empty() || text.size() > kMaxDateLength) return std::nullopt;
  // strptime needs a terminated string; an embedded NUL would end it early and hide junk.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  const std::string terminated(text);
  for (const char* form : kForms) {
    if (auto moment = ReadForm(terminated, form)) return moment;
  }
  return std::nullopt;
}

std::string WriteInternetDate(std::time_t moment) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  moment = std::clamp<std::time_t>(moment, 0, kLatestWritable);
  const std::tm fields = GmtFields(moment);
  char text[32];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[fields.tm_wday],
                fields.tm_mday, kMonths[fields.tm_mon], fields.tm_year + 1900, fields.tm_hour,
                fields.tm_min, fields.tm_sec);
  return text;
}

}  // namespace tarn::net
