// SPDX-License-Identifier: MIT
#include "net/stream/memory_stream.h"

#include <utility>

#include "net/socket/socket_errors.h"

namespace tarn::net {

MemoryStream::MemoryStream(uint64_t limit) : limit_(limit) {}

void MemoryStream::Write(std::string_view bytes) {
  const uint64_t end = position_ + bytes.size();
  CheckLimit(end);
  if (position_ == data_.size()) {
    data_.append(bytes);
  } else {
    if (end > data_.size()) data_.resize(static_cast<size_t>(end));
    data_.replace(static_cast<size_t>(position_), bytes.size(), bytes);
  }
  position_ = end;
}

void MemoryStream::Seek(uint64_t position) { position_ = position; }

void MemoryStream::Truncate() {
  CheckLimit(position_);
  data_.resize(static_cast<size_t>(position_));
}

void MemoryStream::Reserve(uint64_t size) {
  CheckLimit(size);
  data_.reserve(static_cast<size_t>(size));
}

std::string MemoryStream::Take() {
  position_ = 0;
  return std::exchange(data_, {});
}

void MemoryStream::CheckLimit(uint64_t size) const {
  if (size > limit_) {
    throw EIdException("Answer body larger than " + std::to_string(limit_) + " bytes.");
  }
}

}  // namespace tarn::net
