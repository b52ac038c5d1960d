// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/safe_replace.h"
#include "settings/sign_in_file.h"

namespace tarn {
namespace {

constexpr mode_t kOthersRead = S_IRGRP | S_IROTH;

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
  throw FileError("无法" + what + "文件：" + path + "\n" + std::strerror(error));
}

}  // namespace

std::optional<SavedSignIn> LoadSignIn(const std::string& path) {
  // A FIFO would wait for a writer and a link may lead anywhere: neither is opened as a file.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    if (errno == ENOENT) return std::nullopt;
    if (errno == ELOOP) throw FileError(NotAFileMessage(path));
    Fail("读取", path, errno);
  }
  struct stat status {};
  std::string text;
  int error = ::fstat(descriptor, &status) == 0 ? 0 : errno;
  if (error == 0 && !S_ISREG(status.st_mode)) {
    ::close(descriptor);
    throw FileError(NotAFileMessage(path));
  }
  char buffer[1 << 16];
  // One byte beyond the bound is enough to find a file too large.
  while (error == 0 && text.size() <= kMaxSignInBytes) {
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  ::close(descriptor);
  if (error != 0) Fail("读取", path, error);
  return SignInOfText(text, (status.st_mode & kOthersRead) != 0);
}

void RemoveSignIn(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) Fail("删除", path, errno);
}

}  // namespace tarn
