// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "net/stream/output_stream.h"

namespace tarn::net {

// A stream in memory that refuses to grow beyond a limit (EIdException), so that an endless
// or huge answer cannot exhaust memory.
class MemoryStream final : public OutputStream {
 public:
  explicit MemoryStream(uint64_t limit);

  void Write(std::string_view bytes) override;
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override;
  void Truncate() override;
  void Reserve(uint64_t size) override;

  // Hands the contents over; the stream is empty afterwards.
  std::string Take();

 private:
  void CheckLimit(uint64_t size) const;

  uint64_t limit_;
  std::string data_;
  uint64_t position_ = 0;
};

}  // namespace tarn::net
