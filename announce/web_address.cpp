// SPDX-License-Identifier: MIT
#include "announce/web_address.h"

#include "base/text.h"

namespace tarn {

bool IsWebAddress(std::string_view address) {
  for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
    if (EqualsIgnoringAsciiCase(address.substr(0, scheme.size()), scheme)) return true;
  }
  return false;
}

}  // namespace tarn
