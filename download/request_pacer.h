// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <stop_token>

namespace tarn {

// What a pacer reads the time from and sleeps with; tests give their own.
struct PacerTime {
  using Clock = std::chrono::steady_clock;
  std::function<Clock::time_point()> now = [] { return Clock::now(); };
  std::function<void(Clock::duration)> sleep;  // nothing: the thread sleeps
};

// Spaces the requests of one kind (pages, or pictures): each waits until a pause of `pause` ±
// a quarter has passed since the one before ended, like a person clicking through pages, so
// that a service that counts quick requests does not shut the run out.
class RequestPacer {
 public:
  using Clock = PacerTime::Clock;
  using Time = PacerTime;

  RequestPacer(std::chrono::milliseconds pause, uint32_t seed, Time time = {});
  // Waits for the next request's turn; false when a stop came first. The first request goes at
  // once.
  bool WaitTurn(const std::stop_token& stop);
  // A request is over (answered or failed): the next one's pause counts from now.
  void RequestEnded() { last_ = time_.now(); }
  // Waits `pause` (a retry's back-off), which stands for the gap before the next request;
  // false when a stop came first.
  bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop);
  // The server asked to slow down: the pause doubles from now on.
  void SlowDown();
  std::chrono::milliseconds Pause() const { return pause_; }

 private:
  bool WaitUntil(Clock::time_point moment, const std::stop_token& stop);

  std::chrono::milliseconds pause_;
  std::minstd_rand random_;
  Time time_;
  std::optional<Clock::time_point> last_;
};

}  // namespace tarn
