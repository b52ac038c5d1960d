// SPDX-License-Identifier: MIT
#include <iomanip>
#include <locale>
#include <sstream>

#include "net/http/date_fields.h"

namespace tarn::net {
namespace {

constexpr std::time_t kSecondsPerDay = 86400;
// Ends the text and the form alike: the reader stops quietly at the text's end, and only a
// form read to its very end reaches this.
constexpr char kEnd = '\x01';

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar; the month may run
// over (month 13 is January of the next year), as timegm allows. Windows' own functions stop
// at the year 3000, dates may name 9999.
std::time_t DaysFromCivil(std::time_t year, std::time_t month, std::time_t day) {
  year += month >= 0 ? month / 12 : (month - 11) / 12;
  month = ((month % 12) + 12) % 12 + 1;
  year -= month <= 2;
  const std::time_t era = (year >= 0 ? year : year - 399) / 400;
  const std::time_t of_era = year - era * 400;
  const std::time_t of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::time_t of_cycle = of_era * 365 + of_era / 4 - of_era / 100 + of_year;
  return era * 146097 + of_cycle - 719468;
}

}  // namespace

std::optional<std::tm> ReadDateFields(const std::string& text, const char* form) {
  // Windows has no strptime; the C++ library's reader takes the same forms.
  std::istringstream in(text + kEnd);
  in.imbue(std::locale::classic());
  std::tm fields{};
  in >> std::get_time(&fields, (std::string(form) + kEnd).c_str());
  if (in.fail() || in.peek() != std::char_traits<char>::eof()) return std::nullopt;
  return fields;
}

std::time_t GmtSeconds(std::tm& fields) {
  const std::time_t days =
      DaysFromCivil(fields.tm_year + 1900, fields.tm_mon, 1) + fields.tm_mday - 1;
  const std::time_t moment =
      days * kSecondsPerDay + fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
  fields = GmtFields(moment);
  return moment;
}

std::tm GmtFields(std::time_t moment) {
  std::time_t days = moment / kSecondsPerDay;
  std::time_t seconds = moment % kSecondsPerDay;
  if (seconds < 0) {
    seconds += kSecondsPerDay;
    --days;
  }
  std::tm fields{};
  fields.tm_hour = static_cast<int>(seconds / 3600);
  fields.tm_min = static_cast<int>(seconds / 60 % 60);
  fields.tm_sec = static_cast<int>(seconds % 60);
  fields.tm_wday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  // The civil date of a day count, the inverse of DaysFromCivil.
  const std::time_t shifted = days + 719468;
  const std::time_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
  const std::time_t of_era = shifted - era * 146097;
  const std::time_t year_of_era = (of_era - of_era / 1460 + of_era / 36524 - of_era / 146096) / 365;
  const std::time_t of_year = of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::time_t month_index = (5 * of_year + 2) / 153;
  const std::time_t month = month_index + (month_index < 10 ? 3 : -9);
  fields.tm_mday = static_cast<int>(of_year - (153 * month_index + 2) / 5 + 1);
  fields.tm_mon = static_cast<int>(month - 1);
  fields.tm_year = static_cast<int>(year_of_era + era * 400 + (month <= 2) - 1900);
  return fields;
}

}  // namespace tarn::net
