// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::net {

// Reads an HTTP date in any of its three forms, always in GMT:
//   "Sun, 06 Nov 1994 08:49:37 GMT"   (RFC 1123)
//   "Sunday, 06-Nov-94 08:49:37 GMT"  (RFC 850; also with a four-digit year, as many cookies use)
//   "Sun Nov  6 08:49:37 1994"        (asctime)
// Gives the seconds since 1970, or nothing when the text is none of these or names no real day.
// Month and day names are English whatever the process locale says.
std::optional<std::time_t> ReadInternetDate(std::string_view text);

// Writes the RFC 1123 form. Moments before 1970 or after the last second of 9999 are written
// as those bounds.
std::string WriteInternetDate(std::time_t moment);

}  // namespace tarn::net
