// SPDX-License-Identifier: MIT
#include "download/request_pacer.h"

#include <algorithm>
#include <thread>

namespace tarn {
namespace {

// How soon a wait sees a stop.
constexpr std::chrono::milliseconds kStopLook{50};
// A pause doubled past this is no download any more; it stays there.
constexpr std::chrono::milliseconds kMaxPause{600000};

}  // namespace

RequestPacer::RequestPacer(std::chrono::milliseconds pause, uint32_t seed, Time time)
    : pause_(pause), random_(seed), time_(std::move(time)) {}

void RequestPacer::SlowDown() {
  // A pause of nothing has nothing to double: the server's wait is its slowing down.
  pause_ = std::min(pause_ * 2, kMaxPause);
}

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
  return WaitUntil(time_.now() + pause, stop);
}

bool RequestPacer::WaitUntil(Clock::time_point moment, const std::stop_token& stop) {
  // Slept in short slices, with no callback to wake it: the stop-token waits of some standard
  // libraries hang under Wine, and a stop is seen within one slice all the same.
  for (auto now = time_.now(); now < moment && !stop.stop_requested(); now = time_.now()) {
    const Clock::duration slice = std::min<Clock::duration>(moment - now, kStopLook);
    if (time_.sleep)
      time_.sleep(slice);
    else
      std::this_thread::sleep_for(slice);
  }
  return !stop.stop_requested();
}

}  // namespace tarn
