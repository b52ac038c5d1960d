// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace tarn::net {

// The system calls behind internet_date.cpp, one file per platform.

// Reads `text` in the strptime `form`, English names whatever the process locale says; nothing
// unless the whole text is consumed.
std::optional<std::tm> ReadDateFields(const std::string& text, const char* form);
// Seconds since 1970 of broken-down GMT fields, which it normalises as timegm does.
std::time_t GmtSeconds(std::tm& fields);
// The broken-down GMT fields of a moment.
std::tm GmtFields(std::time_t moment);

}  // namespace tarn::net
