// SPDX-License-Identifier: MIT
#include "download/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace tarn {

FolderLock::FolderLock(const std::string& folder) : folder_(folder) {
  descriptor_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor_ < 0) return;
  if (::flock(descriptor_, LOCK_EX | LOCK_NB) != 0) {
    busy_ = errno == EWOULDBLOCK;
    ::close(std::exchange(descriptor_, -1));
  }
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::move(other.folder_)),
      descriptor_(std::exchange(other.descriptor_, -1)),
      busy_(other.busy_) {}

FolderLock::~FolderLock() {
  if (descriptor_ >= 0) ::close(descriptor_);  // closing lets the claim go
}

}  // namespace tarn
