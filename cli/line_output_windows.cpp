// SPDX-License-Identifier: MIT
#include <io.h>
#include <windows.h>

#include "cli/line_output.h"

namespace tarn::cli {

// Windows cannot ask a pipe whether it has room, so the line is written without the wait:
// a reader that sits still may hold it up, as it would any other Windows program's output.
void WriteLine(std::FILE* stream, std::string_view text, std::chrono::milliseconds) {
  const intptr_t os_handle = _get_osfhandle(_fileno(stream));
  if (os_handle == -1) return;
  const auto handle = reinterpret_cast<HANDLE>(os_handle);
  text = text.substr(0, kMaxLineBytes);
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    text.remove_prefix(written);
  }
}

}  // namespace tarn::cli
