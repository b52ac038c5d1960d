// SPDX-License-Identifier: MIT
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <utility>

#include "base/utf16.h"
#include "download/folder_lock.h"

namespace tarn {
namespace {

// The claim's name: the folder's full path as the system resolves it (links and short names
// followed), in one case, hashed to fit an object name. FNV-1a, 64 bits.
std::wstring ClaimName(HANDLE folder) {
  wchar_t path[32768];
  const DWORD length = GetFinalPathNameByHandleW(folder, path, 32768, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= 32768) return {};
  CharUpperBuffW(path, length);
  uint64_t hash = 14695981039346656037ull;
  for (DWORD i = 0; i < length; ++i) {
    hash = (hash ^ path[i]) * 1099511628211ull;
  }
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\tarn-folder-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace

struct FolderLock::Impl {
  HANDLE claim = nullptr;  // a named semaphore taken for the folder

  ~Impl() {
    ReleaseSemaphore(claim, 1, nullptr);
    CloseHandle(claim);
  }
};

FolderLock::FolderLock(const std::string& folder) : folder_(folder) {
  // Windows locks no folders: a semaphore named after the folder, taken without waiting, is
  // the claim, and it goes with the process as a lock does.
  const HANDLE opened = CreateFileW(Utf8ToUtf16(folder).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return;
  const std::wstring name = ClaimName(opened);
  CloseHandle(opened);
  if (name.empty()) return;
  const HANDLE claim = CreateSemaphoreW(nullptr, 1, 1, name.c_str());
  if (claim == nullptr) return;
  if (WaitForSingleObject(claim, 0) != WAIT_OBJECT_0) {
    busy_ = true;
    CloseHandle(claim);
    return;
  }
  impl_ = std::make_unique<Impl>();
  impl_->claim = claim;
}

FolderLock::FolderLock(FolderLock&& other) noexcept = default;

FolderLock::~FolderLock() = default;

}  // namespace tarn
