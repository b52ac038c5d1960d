// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "net/stream/file_stream.h"

namespace tarn::net {
namespace {

// Bytes a reservation may take of the disk under the descriptor: what it still gives to an
// ordinary user; 0 when unknown, and for a file system in memory, where laying blocks out
// only zeroes pages that the writes then fill.
uint64_t ReservableBytes(int descriptor) {
  struct statfs disk {};
  if (fstatfs(descriptor, &disk) != 0) return 0;
  if (disk.f_type == TMPFS_MAGIC || disk.f_type == RAMFS_MAGIC) return 0;
  const auto unit = static_cast<uint64_t>(disk.f_frsize != 0 ? disk.f_frsize : disk.f_bsize);
  return static_cast<uint64_t>(disk.f_bavail) * unit;
}

}  // namespace

struct FileStream::Impl {
  int descriptor = -1;
};

FileStream::FileStream(const std::string& path) : path_(path), file_(std::make_unique<Impl>()) {
  file_->descriptor = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (file_->descriptor < 0) {
    if (errno == EEXIST || errno == ELOOP) {
      throw FileNameTaken("Cannot create " + path_ + ": " + std::strerror(errno));
    }
    Fail("create");
  }
}

FileStream::~FileStream() {
  if (file_->descriptor >= 0) close(file_->descriptor);
}

void FileStream::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written =
        pwrite(file_->descriptor, bytes.data(), bytes.size(), static_cast<off_t>(position_));
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("write");
    }
    position_ += static_cast<uint64_t>(written);
    size_ = std::max(size_, position_);  // also when a later piece fails
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void FileStream::Seek(uint64_t position) { position_ = position; }

void FileStream::Truncate() {
  if (size_ == position_) return;
  if (ftruncate(file_->descriptor, static_cast<off_t>(position_)) < 0) Fail("truncate");
  size_ = position_;
}

void FileStream::Reserve(uint64_t size) {
  // Blocks only, the size stays: a fetch cut short never leaves a file padded to full length.
  // A file system without preallocation simply grows the file as it is written. An announced
  // size is the server's word: it may lay out no more than a photo may hold, and never the
  // space other programs need.
  if (size <= position_ || !MayReserve(size - position_, ReservableBytes(file_->descriptor)))
    return;
  if (fallocate(file_->descriptor, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(position_),
                static_cast<off_t>(size - position_)) != 0) {
    // A reservation that fails part way may keep what it got; cutting the file at its own
    // size gives the blocks beyond it back.
    struct stat file {};
    if (fstat(file_->descriptor, &file) == 0) (void)ftruncate(file_->descriptor, file.st_size);
  }
}

void FileStream::Sync() {
  if (fsync(file_->descriptor) != 0 && errno != EINVAL) Fail("sync");
}

void FileStream::Close() {
  if (close(std::exchange(file_->descriptor, -1)) != 0) Fail("close");
}

void FileStream::Fail(const char* action) const {
  throw FileStreamError("Cannot " + std::string(action) + " " + path_ + ": " +
                        std::strerror(errno));
}

}  // namespace tarn::net
