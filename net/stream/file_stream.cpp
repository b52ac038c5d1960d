// SPDX-License-Identifier: MIT
#include "net/stream/file_stream.h"

#include "net/stream/transfer_limits.h"

namespace tarn::net {

bool MayReserve(uint64_t bytes, uint64_t free_bytes) {
  return bytes <= kMaxPhotoBytes && free_bytes >= kReserveMargin &&
         bytes <= free_bytes - kReserveMargin;
}

}  // namespace tarn::net
