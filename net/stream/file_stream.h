// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/safe_replace.h"
#include "net/stream/output_stream.h"

namespace tarn::net {

// Free space a reservation must leave for other programs.
inline constexpr uint64_t kReserveMargin = 64ull << 20;

// A failing file operation; the message names the file and the system's reason.
using FileStreamError = FileError;

// Whether `bytes` more may be laid out on a disk with `free_bytes` left: no more than a photo
// may hold, and never the margin other programs need.
bool MayReserve(uint64_t bytes, uint64_t free_bytes);

// The name is taken: a file, a folder or a symbolic link stands there already.
class FileNameTaken : public FileStreamError {
 public:
  using FileStreamError::FileStreamError;
};

// A new file opened for writing and reading. It never replaces anything that stands at its
// name and never follows a symbolic link (FileNameTaken). Failures raise FileStreamError.
class FileStream final : public OutputStream {
 public:
  explicit FileStream(const std::string& path);
  // Closes without a word; call Close to learn whether the bytes reached the file.
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  void Write(std::string_view bytes) override;
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override;
  // Nothing to do when the file ends at the position already.
  void Truncate() override;
  // Lays the file's blocks out in one go where the file system can, only for a size up to
  // kMaxPhotoBytes that leaves kReserveMargin of the disk free; never fails.
  void Reserve(uint64_t size) override;

  // Brings what was written to the disk (nothing on a file system that cannot say so).
  void Sync();
  // Closes the file; a failure here (a full disk on a network share, say) is a failed save.
  void Close();

 private:
  [[noreturn]] void Fail(const char* action) const;

  std::string path_;
  // The system's open file, defined in file_stream_posix.cpp or file_stream_windows.cpp.
  struct Impl;
  std::unique_ptr<Impl> file_;
  uint64_t position_ = 0;
  uint64_t size_ = 0;  // the file is new and only written here, so its size is known
};

}  // namespace tarn::net
