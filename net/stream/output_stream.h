// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

namespace tarn::net {

// A writable, seekable destination for a body, owned by the caller (a file while photos are
// saved, memory for a page).
class OutputStream {
 public:
  virtual ~OutputStream() = default;

  // Writes at the position and moves the position after the bytes.
  virtual void Write(std::string_view bytes) = 0;
  virtual uint64_t Position() const = 0;
  virtual void Seek(uint64_t position) = 0;
  // Makes the stream end at the position.
  virtual void Truncate() = 0;
  // The stream is about to grow to `size` bytes: a chance to make room once. May refuse with
  // an exception when the stream cannot hold that much.
  virtual void Reserve(uint64_t size) = 0;

  // Empties the stream, for a caller that tries a fetch again.
  void Rewind() {
    Seek(0);
    Truncate();
  }
};

}  // namespace tarn::net
