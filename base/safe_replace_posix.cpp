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

// Read and write for the owner alone.
constexpr mode_t kOwnerOnly = 0600;

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

bool CommitFile(const std::string& temporary, const std::string& final_path, OnExisting mode,
                bool synced) {
  int error = synced || SyncFile(temporary) ? 0 : errno;
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

namespace {

// Writes `data` into a new temporary file beside `path`, with `mode` exactly or, unless `exact`,
// less the umask, and commits it over `path`.
void WriteNewFile(const std::string& path, std::string_view data, mode_t mode, bool exact) {
  // One name per process: a name left by a killed save of the same process id is ours to
  // reuse. It goes first, so the data always lands in a file of its own, made now; a link
  // placed there is never followed.
  std::string temporary = path;
  temporary.append(".").append(std::to_string(::getpid())).append(".tmp");
  ::unlink(temporary.c_str());
  const int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (descriptor < 0) Fail("写入", path, errno);
  bool ok = (!exact || ::fchmod(descriptor, mode) == 0) && WriteAll(descriptor, data);
  const int error = errno;
  ok = ::close(descriptor) == 0 && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    Fail("写入", path, error);
  }
  CommitFile(temporary, path, OnExisting::kReplace);
}

}  // namespace

void ReplaceFileContents(const std::string& path, std::string_view data, unsigned new_file_mode) {
  // The old file's permissions carry over to its replacement.
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0)
    WriteNewFile(path, data, old.st_mode & 07777, true);
  else
    WriteNewFile(path, data, static_cast<mode_t>(new_file_mode), false);
}

void ReplaceWithPrivateFile(const std::string& path, std::string_view data) {
  WriteNewFile(path, data, kOwnerOnly, true);
}

}  // namespace tarn
