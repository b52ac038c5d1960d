// SPDX-License-Identifier: MIT
#include <windows.h>

#include <algorithm>
#include <climits>

#include "base/safe_replace.h"
#include "base/utf16.h"

namespace tarn {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, DWORD error) {
  throw FileError("无法" + what + "文件：" + path + "\n" + WindowsErrorText(error));
}

// Closes a handle on every way out.
struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

bool FlushFile(const std::wstring& path) {
  const FileHandle file{CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
  return file.handle != INVALID_HANDLE_VALUE && FlushFileBuffers(file.handle) != 0;
}

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<size_t>(data.size(), INT_MAX));
    if (!WriteFile(file, data.data(), size, &written, nullptr) || written == 0) return false;
    data.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool CommitFile(const std::string& temporary, const std::string& final_path, OnExisting mode,
                bool synced) {
  const std::wstring from = Utf8ToUtf16(temporary);
  DWORD error = synced || FlushFile(from) ? 0 : GetLastError();
  if (error == 0) {
    // The write-through move returns only once the new name is on the disk, as the folder's
    // sync does elsewhere; without the replace flag an existing name is never replaced.
    const DWORD flags =
        MOVEFILE_WRITE_THROUGH | (mode == OnExisting::kReplace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(from.c_str(), Utf8ToUtf16(final_path).c_str(), flags)) error = GetLastError();
  }
  if (error != 0) {
    DeleteFileW(from.c_str());
    const bool taken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    if (taken && mode == OnExisting::kKeep) return false;
    Fail("保存", final_path, error);
  }
  return true;
}

void ReplaceFileContents(const std::string& path, std::string_view data, unsigned) {
  // One name per process: a file left there by a killed save of the same process id is ours
  // to reuse; removing it first means a link placed there is never written through. Windows
  // has no mode bits: the new file takes the folder's permissions (the user's own under
  // %APPDATA%).
  const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
  const std::wstring wide = Utf8ToUtf16(temporary);
  DeleteFileW(wide.c_str());
  DWORD error = 0;
  {
    const FileHandle file{CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) Fail("写入", path, GetLastError());
    if (!WriteAll(file.handle, data)) error = GetLastError();
  }
  if (error != 0) {
    DeleteFileW(wide.c_str());
    Fail("写入", path, error);
  }
  CommitFile(temporary, path, OnExisting::kReplace);
}

// No mode bits here: a new file is all it takes, and the move replaces a link, never its target.
void ReplaceWithPrivateFile(const std::string& path, std::string_view data) {
  ReplaceFileContents(path, data);
}

}  // namespace tarn
