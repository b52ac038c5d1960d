// SPDX-License-Identifier: MIT
#include "download/lock_file_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace tarn {
namespace {

// Enough for "<pid>@<host name>".
constexpr size_t kMaxOwnerBytes = 512;

std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

std::string ReadOwner(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) return {};
  std::string owner(kMaxOwnerBytes, '\0');
  const ssize_t got = ::read(descriptor, owner.data(), owner.size());
  ::close(descriptor);
  owner.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return owner;
}

// A lock file of a run of this host that is gone: nothing holds the folder any more.
bool IsStale(const std::string& owner) {
  const size_t at = owner.find('@');
  if (at == std::string::npos || owner.substr(at + 1) != HostName()) return false;
  char* end = nullptr;
  const long pid = std::strtol(owner.c_str(), &end, 10);
  if (end != owner.c_str() + at || pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

}  // namespace

LockFile TakeLockFile(const std::string& path) {
  const std::string owner = std::to_string(::getpid()) + "@" + HostName();
  for (int attempt = 0; attempt < 2; ++attempt) {
    const int made =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (made >= 0) {
      const bool written =
          ::write(made, owner.data(), owner.size()) == static_cast<ssize_t>(owner.size());
      ::close(made);
      if (written) return LockFile::kTaken;
      ::unlink(path.c_str());  // a claim nobody could tell from a stale one is no claim
      return LockFile::kFailed;
    }
    if (errno != EEXIST) return LockFile::kFailed;
    // One of a run that was killed before it could remove it is taken over, once.
    if (!IsStale(ReadOwner(path)) || ::unlink(path.c_str()) != 0) break;
  }
  return LockFile::kBusy;
}

}  // namespace tarn
