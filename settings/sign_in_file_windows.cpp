// SPDX-License-Identifier: MIT
#include <windows.h>

#include "base/safe_replace.h"
#include "base/utf16.h"
#include "settings/sign_in_file.h"

namespace tarn {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
  throw FileError("无法" + what + "文件：" + path + "\n" + WindowsErrorText(error));
}

}  // namespace

// The file lies in the user's own %APPDATA%, which no other user may read: there are no mode
// bits to look at.
std::optional<SavedSignIn> LoadSignIn(const std::string& path) {
  const HANDLE file = CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    Fail("读取", path, error);
  }
  std::string text;
  char buffer[1 << 16];
  DWORD got = 0;
  DWORD error = 0;
  // One byte beyond the bound is enough to find a file too large.
  while (text.size() <= net::kMaxCookieText) {
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) error = GetLastError();
    if (error != 0 || got == 0) break;
    text.append(buffer, got);
  }
  CloseHandle(file);
  if (error != 0) Fail("读取", path, error);
  return SavedSignIn{ReadUserCookies(text).cookies, false};
}

void RemoveSignIn(const std::string& path) {
  if (DeleteFileW(Utf8ToUtf16(path).c_str())) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) Fail("删除", path, error);
}

}  // namespace tarn
