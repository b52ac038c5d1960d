// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/safe_replace.h"

namespace tarn {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
  throw FileError("无法" + what + "文件：" + path + "\n" + std::strerror(error));
}

bool WriteAll(int descriptor, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = ::write(descriptor, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A file system that cannot sync (some network shares) says EINVAL: that is no failure.
bool Synced(int descriptor) { return ::fsync(descriptor) == 0 || errno == EINVAL; }

bool SyncFile(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool synced = Synced(descriptor);
  return ::close(descriptor) == 0 && synced;
}

// Makes a rename in the folder durable; a folder that cannot say so is no failure.
void SyncFolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const std::filesystem::path folder = parent.empty() ? std::filesystem::path(".") : parent;
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  (void)::fsync(descriptor);
  ::close(descriptor);
}

// Renames without ever replacing a file, even one that appears meanwhile; EEXIST when taken.
int RenameKeeping(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the flag: a hard link refuses an existing name just the same.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

bool CommitFile(const std::string& temporary, const std::string& final_path, OnExisting mode) {
  int error = SyncFile(temporary) ? 0 : errno;
  if (error == 0) {
    if (mode == OnExisting::kReplace)
      error = ::rename(temporary.c_str(), final_path.c_str()) == 0 ? 0 : errno;
    else
      error = RenameKeeping(temporary, final_path);
  }
  if (error != 0) {
    ::unlink(temporary.c_str());
    if (error == EEXIST && mode == OnExisting::kKeep) return false;
    Fail("保存", final_path, error);
  }
  SyncFolderOf(final_path);
  return true;
}

void ReplaceFileContents(const std::string& path, std::string_view data, unsigned new_file_mode) {
  // One name per process: a name left by a killed save of the same process id is ours to
  // reuse, and a link placed there is never followed.
  std::string temporary = path;
  temporary.append(".").append(std::to_string(::getpid())).append(".tmp");
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
             static_cast<mode_t>(new_file_mode));
  if (descriptor < 0) Fail("写入", path, errno);
  struct stat old {};
  struct stat made {};
  // The old file's permissions carry over to its replacement; a temporary left by a killed
  // save may have been made with more than a new file may have.
  bool ok = ::stat(path.c_str(), &old) == 0
                ? ::fchmod(descriptor, old.st_mode & 07777) == 0
                : ::fstat(descriptor, &made) == 0 &&
                      ((made.st_mode & 07777 & ~new_file_mode) == 0 ||
                       ::fchmod(descriptor, made.st_mode & new_file_mode) == 0);
  ok = ok && WriteAll(descriptor, data);
  const int error = errno;
  ok = ::close(descriptor) == 0 && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    Fail("写入", path, error);
  }
  CommitFile(temporary, path, OnExisting::kReplace);
}

}  // namespace tarn
