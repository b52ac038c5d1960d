// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "base/exception.h"
#include "net/output_stream.h"

namespace tarn::net {

// A failing file operation; the message names the file and the system's reason.
class FileStreamError : public Exception {
 public:
  using Exception::Exception;
};

// A file opened for writing and reading, created empty (an existing file is emptied).
// Failures raise FileStreamError.
class FileStream final : public OutputStream {
 public:
  explicit FileStream(const std::string& path);
  ~FileStream() override;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

  void Write(std::string_view bytes) override;
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override;
  void Truncate() override;
  // Lays the file's blocks out in one go where the file system can; never fails.
  void Reserve(uint64_t size) override;

 private:
  [[noreturn]] void Fail(const char* action) const;

  std::string path_;
  int descriptor_ = -1;
  uint64_t position_ = 0;
};

}  // namespace tarn::net
