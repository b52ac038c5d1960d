// SPDX-License-Identifier: MIT
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "base/file_path.h"
#include "base/safe_replace.h"
#include "base/utf16.h"
#include "settings/app_paths.h"

namespace tarn {

// The folder under %APPDATA% takes the user's own permissions from it: there are no modes.
void MakeSettingsFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(folder), error);
  if (!error && !std::filesystem::is_directory(PathFromUtf8(folder), error))
    error = std::make_error_code(std::errc::not_a_directory);
  if (error) throw FileError("无法创建设置文件夹：" + folder + "\n" + error.message());
}

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
