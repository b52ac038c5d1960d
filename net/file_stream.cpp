// SPDX-License-Identifier: MIT
#include "net/file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarn::net {

FileStream::FileStream(const std::string& path) : path_(path) {
  descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor_ < 0) Fail("create");
}

FileStream::~FileStream() { close(descriptor_); }

void FileStream::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written =
        pwrite(descriptor_, bytes.data(), bytes.size(), static_cast<off_t>(position_));
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("write");
    }
    position_ += static_cast<uint64_t>(written);
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void FileStream::Seek(uint64_t position) { position_ = position; }

void FileStream::Truncate() {
  if (ftruncate(descriptor_, static_cast<off_t>(position_)) < 0) Fail("truncate");
}

void FileStream::Reserve(uint64_t size) {
  // Blocks only, the size stays: a fetch cut short never leaves a file padded to full length.
  // A file system without preallocation simply grows the file as it is written.
  if (size > position_) {
    (void)fallocate(descriptor_, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(position_),
                    static_cast<off_t>(size - position_));
  }
}

void FileStream::Fail(const char* action) const {
  throw FileStreamError("Cannot " + std::string(action) + " " + path_ + ": " +
                        std::strerror(errno));
}

}  // namespace tarn::net
