// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace tarn {

// True when `address` begins with "http://" or "https://", in any letter case. The feed comes
// from a remote page: whatever else it carries (a file, a local program, an option for the
// opener) must not reach the system's opener.
bool IsWebAddress(std::string_view address);

}  // namespace tarn
