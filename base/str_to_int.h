// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

#include "base/exception.h"

namespace tarn {

class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Leading spaces, an optional sign, then decimal digits or hexadecimal digits after "$", "x",
// "X", "0x" or "0X". Anything else, an empty text or a value outside the signed 32-bit range
// throws EConvertError "'<text>' is not a valid integer value".
int32_t StrToInt(std::string_view text);

}  // namespace tarn
