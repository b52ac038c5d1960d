// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <string>

#include "net/socket/socket_errors.h"
#include "net/stream/byte_source.h"

namespace tarn::net::testing {

// Hands out scripted receive results in order: bytes (split when more than the reader asks
// for), a timeout, a socket error. When the script is used up the peer has closed.
class ScriptedSource final : public ByteSource {
 public:
  ScriptedSource& Bytes(std::string bytes) {
    steps_.push_back({Kind::kBytes, std::move(bytes), 0});
    return *this;
  }
  ScriptedSource& Timeout() {
    steps_.push_back({Kind::kTimeout, {}, 0});
    return *this;
  }
  ScriptedSource& Error(int number) {
    steps_.push_back({Kind::kError, {}, number});
    return *this;
  }

  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds) override {
    ++receives;
    largest_request = std::max(largest_request, capacity);
    if (steps_.empty()) return 0;
    Step& step = steps_.front();
    if (step.kind == Kind::kTimeout) {
      steps_.pop_front();
      throw EIdReadTimeout();
    }
    if (step.kind == Kind::kError) {
      const int number = step.number;
      steps_.pop_front();
      throw EIdSocketError(number);
    }
    const size_t count = std::min(capacity, step.bytes.size());
    std::memcpy(into, step.bytes.data(), count);
    step.bytes.erase(0, count);
    if (step.bytes.empty()) steps_.pop_front();
    return count;
  }

  int receives = 0;
  size_t largest_request = 0;

 private:
  enum class Kind { kBytes, kTimeout, kError };
  struct Step {
    Kind kind;
    std::string bytes;
    int number;
  };
  std::deque<Step> steps_;
};

}  // namespace tarn::net::testing
