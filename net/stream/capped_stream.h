// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "net/stream/output_stream.h"

namespace tarn::net {

// Passes a body on to another stream, refusing with EBodyTooLarge any write or reservation
// that would take it more than `limit` bytes past where it started. A size announced beyond
// the limit fails before the first byte; a body without a size fails at the limit.
class CappedStream final : public OutputStream {
 public:
  CappedStream(OutputStream& inner, uint64_t limit);

  void Write(std::string_view bytes) override;
  uint64_t Position() const override { return inner_.Position(); }
  void Seek(uint64_t position) override { inner_.Seek(position); }
  void Truncate() override { inner_.Truncate(); }
  void Reserve(uint64_t size) override;

 private:
  void Check(uint64_t end) const;

  OutputStream& inner_;
  uint64_t limit_;
  uint64_t end_;  // first position beyond the limit's reach
};

}  // namespace tarn::net
