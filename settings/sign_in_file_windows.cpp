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
// bits to look at. A link is opened as itself, to be refused with a folder or a device.
std::optional<SavedSignIn> LoadSignIn(const std::string& path) {
  const HANDLE file =
      CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
    Fail("读取", path, error);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & kNotAFile) != 0) {
    CloseHandle(file);
    throw FileError(NotAFileMessage(path));
  }
  std::string text;
  char buffer[1 << 16];
  DWORD got = 0;
  DWORD error = 0;
  // One byte beyond the bound is enough to find a file too large.
  while (text.size() <= kMaxSignInBytes) {
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) error = GetLastError();
    if (error != 0 || got == 0) break;
    text.append(buffer, got);
  }
  CloseHandle(file);
  if (error != 0) Fail("读取", path, error);
  return SignInOfText(text, false);
}

void RemoveSignIn(const std::string& path) {
  if (DeleteFileW(Utf8ToUtf16(path).c_str())) return;
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) Fail("删除", path, error);
}

}  // namespace tarn
