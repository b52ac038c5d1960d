// SPDX-License-Identifier: MIT
#include "download/request_pacer.h"

namespace tarn {

RequestPacer::RequestPacer(std::chrono::milliseconds pause, uint32_t seed)
    : pause_(pause), random_(seed) {}

bool RequestPacer::WaitTurn(const std::stop_token& stop) {
  if (last_ && pause_.count() > 0) {
    // A gap drawn evenly from 75 % to 125 % of the pause: regular clockwork is a robot's mark.
    std::uniform_int_distribution<int64_t> gap(pause_.count() * 3 / 4, pause_.count() * 5 / 4);
    if (!WaitUntil(*last_ + std::chrono::milliseconds(gap(random_)), stop)) return false;
  }
  return !stop.stop_requested();
}

bool RequestPacer::Sleep(std::chrono::milliseconds pause, const std::stop_token& stop) {
  // The back-off is the gap: the request after it goes at once.
  last_.reset();
  return WaitUntil(Clock::now() + pause, stop);
}

bool RequestPacer::WaitUntil(Clock::time_point moment, const std::stop_token& stop) {
  // The stop wakes the wait under the lock, so a stop between the check and the wait is never
  // lost (the stop-token wait of some standard libraries can lose it, and sleep out the pause).
  // Made before the lock: a stop already requested runs it at once, here.
  const std::stop_callback wake(stop, [this] {
    const std::lock_guard held(mutex_);
    wake_.notify_all();
  });
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, moment, [&stop] { return stop.stop_requested(); });
  return !stop.stop_requested();
}

}  // namespace tarn
