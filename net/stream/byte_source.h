// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>

namespace tarn::net {

// Where received bytes come from: a socket in the program, scripted bytes in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Waits at most `wait` for bytes and stores up to `capacity` of them in `into`. Returns the
  // count, or 0 once the peer has closed its side. Fails with EIdReadTimeout when nothing
  // came in time, EIdSocketError on a failing read, EIdNotConnected without a connection.
  virtual size_t Receive(char* into, size_t capacity, std::chrono::milliseconds wait) = 0;
};

}  // namespace tarn::net
