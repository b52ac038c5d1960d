// SPDX-License-Identifier: MIT
#include <windows.h>

#include <cstdlib>

#include "base/utf16.h"
#include "settings/app_paths.h"

namespace tarn {

bool FolderTakesNewFiles(const std::string& folder) {
  const std::string probe = (folder.empty() ? std::string(".") : folder) + "\\.Config.ini." +
                            std::to_string(GetCurrentProcessId()) + ".probe";
  const std::wstring wide = Utf8ToUtf16(probe);
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

ConfigEnvironment ReadConfigEnvironment() {
  // Kept in UTF-8 for the whole run, as every other path of the program.
  static const std::string app_data = [] {
    const wchar_t* value = _wgetenv(L"APPDATA");
    return value != nullptr ? Utf16ToUtf8(value) : std::string();
  }();
  return {app_data.empty() ? nullptr : app_data.c_str(), nullptr};
}

}  // namespace tarn
