// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <stop_token>

namespace tarn {

// Spaces the requests of a run: each waits until a pause of `pause` ± a quarter has passed
// since the one before ended, like a person clicking through pages, so that a service that
// counts quick requests does not shut the run out.
class RequestPacer {
 public:
  using Clock = std::chrono::steady_clock;

  RequestPacer(std::chrono::milliseconds pause, uint32_t seed);

  // Waits for the next request's turn; false when a stop came first. The first request goes at
  // once.
  bool WaitTurn(const std::stop_token& stop);
  // A request is over (answered or failed): the next one's pause counts from now.
  void RequestEnded() { last_ = Clock::now(); }

  // Waits `pause` (a retry's back-off), which stands for the gap before the next request;
  // false when a stop came first.
  bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop);

 private:
  bool WaitUntil(Clock::time_point moment, const std::stop_token& stop);

  const std::chrono::milliseconds pause_;
  std::minstd_rand random_;
  std::optional<Clock::time_point> last_;
};

}  // namespace tarn
