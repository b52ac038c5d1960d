// SPDX-License-Identifier: MIT
#include <windows.h>

#include <algorithm>
#include <climits>

#include "base/free_space.h"
#include "base/utf16.h"
#include "net/stream/file_stream.h"

namespace tarn::net {

struct FileStream::Impl {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

FileStream::FileStream(const std::string& path) : path_(path), file_(std::make_unique<Impl>()) {
  // A new file only: whatever stands at the name, a link included, is never opened.
  file_->handle = CreateFileW(Utf8ToUtf16(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file_->handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      throw FileNameTaken("Cannot create " + path_ + ": " + WindowsErrorText(error));
    }
    Fail("create");
  }
}

FileStream::~FileStream() {
  if (file_->handle != INVALID_HANDLE_VALUE) CloseHandle(file_->handle);
}

void FileStream::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(position_);
    at.OffsetHigh = static_cast<DWORD>(position_ >> 32);
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<size_t>(bytes.size(), INT_MAX));
    if (!WriteFile(file_->handle, bytes.data(), size, &written, &at)) Fail("write");
    position_ += written;
    size_ = std::max(size_, position_);  // also when a later piece fails
    bytes.remove_prefix(written);
  }
}

void FileStream::Seek(uint64_t position) { position_ = position; }

void FileStream::Truncate() {
  if (size_ == position_) return;
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(position_);
  if (!SetFileInformationByHandle(file_->handle, FileEndOfFileInfo, &end, sizeof end))
    Fail("truncate");
  size_ = position_;
}

void FileStream::Reserve(uint64_t size) {
  // As elsewhere: blocks only, the size stays, within what the disk can spare.
  if (size <= position_) return;
  const size_t slash = path_.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
  if (!MayReserve(size - position_, FreeSpace(folder).value_or(0))) return;
  FILE_ALLOCATION_INFO blocks{};
  blocks.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
  SetFileInformationByHandle(file_->handle, FileAllocationInfo, &blocks, sizeof blocks);
}

void FileStream::Sync() {
  if (!FlushFileBuffers(file_->handle)) Fail("sync");
}

void FileStream::Close() {
  const HANDLE handle = std::exchange(file_->handle, INVALID_HANDLE_VALUE);
  // INVALID_HANDLE_VALUE also names this process, which CloseHandle would take.
  if (handle == INVALID_HANDLE_VALUE) SetLastError(ERROR_INVALID_HANDLE);
  if (handle == INVALID_HANDLE_VALUE || !CloseHandle(handle)) Fail("close");
}

void FileStream::Fail(const char* action) const {
  throw FileStreamError("Cannot " + std::string(action) + " " + path_ + ": " +
                        WindowsErrorText(GetLastError()));
}

}  // namespace tarn::net
