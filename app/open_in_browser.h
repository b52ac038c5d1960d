// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>

namespace tarn {

// Hands a web address to the system; tests put a recorder in its place.
using BrowserLauncher = std::function<void(const std::string& address)>;

// Hands `address` to the desktop's opener for web addresses and does not wait for it. A
// failure shows nothing.
void OpenInBrowser(const std::string& address);

}  // namespace tarn
