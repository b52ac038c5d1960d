// SPDX-License-Identifier: MIT
#include "base/file_name.h"

namespace tarn {

// Names are bytes here: the callers keep '/' and NUL out already.
std::string SystemSafeFileName(std::string name) { return name; }

}  // namespace tarn
