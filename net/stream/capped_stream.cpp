// SPDX-License-Identifier: MIT
#include "net/stream/capped_stream.h"

#include <limits>

#include "net/stream/transfer_errors.h"

namespace tarn::net {

CappedStream::CappedStream(OutputStream& inner, uint64_t limit)
    : inner_(inner),
      limit_(limit),
      end_(limit > std::numeric_limits<uint64_t>::max() - inner.Position()
               ? std::numeric_limits<uint64_t>::max()
               : inner.Position() + limit) {}

void CappedStream::Write(std::string_view bytes) {
  Check(Position() + bytes.size());
  inner_.Write(bytes);
}

void CappedStream::Reserve(uint64_t size) {
  Check(size);
  inner_.Reserve(size);
}

void CappedStream::Check(uint64_t end) const {
  if (end > end_) throw EBodyTooLarge(limit_);
}

}  // namespace tarn::net
