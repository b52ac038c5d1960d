// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "base/cut_text.h"
#include "base/file_path.h"
#include "download/folder_lock.h"
#include "download/lock_file_posix.h"

namespace tarn {
namespace {

// Where the folder's file system takes no flock (some network and FUSE file systems), the
// claim is this file.
constexpr const char* kLockFileName = ".tarn-lock";

}  // namespace

struct FolderLock::Impl {
  int descriptor = -1;
  std::string lock_file;  // ours to remove, when the claim is a lock file

  ~Impl() {
    if (descriptor >= 0) ::close(descriptor);  // closing lets the claim go
    if (!lock_file.empty()) ::unlink(lock_file.c_str());
  }
};

FolderLock::FolderLock(const std::string& folder) : folder_(folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
    impl_ = std::make_unique<Impl>();
    impl_->descriptor = descriptor;
    return;
  }
  const int error = errno;
  ::close(descriptor);
  if (error == EWOULDBLOCK) {
    busy_ = true;
    return;
  }
  if (error != ENOLCK && error != ENOSYS && error != EOPNOTSUPP && error != EINVAL) return;
  const std::string path = FileInFolder(folder, kLockFileName);
  note_ = "这个文件夹所在的文件系统不支持文件锁，改用锁文件：" + QuotedText(path);
  switch (TakeLockFile(path)) {
    case LockFile::kTaken:
      impl_ = std::make_unique<Impl>();
      impl_->lock_file = path;
      break;
    case LockFile::kBusy:
      busy_ = true;
      break;
    case LockFile::kFailed:
      break;
  }
}

FolderLock::FolderLock(FolderLock&& other) noexcept = default;

FolderLock::~FolderLock() = default;

}  // namespace tarn
