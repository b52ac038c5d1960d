// SPDX-License-Identifier: MIT
#include "download/request_pacer.h"

#include <gtest/gtest.h>

#include <thread>

namespace tarn {
namespace {

using std::chrono::milliseconds;

TEST(RequestPacer, GapsStayWithinAQuarterOfThePauseAndAStopEndsTheWait) {
  RequestPacer pacer(milliseconds(40), 7);
  std::stop_source stop;
  ASSERT_TRUE(pacer.WaitTurn(stop.get_token()));  // the first goes at once
  for (int i = 0; i < 5; ++i) {
    pacer.RequestEnded();
    const auto ended = RequestPacer::Clock::now();
    ASSERT_TRUE(pacer.WaitTurn(stop.get_token()));
    EXPECT_GE(RequestPacer::Clock::now() - ended, milliseconds(30));
  }
  RequestPacer slow(milliseconds(600000), 7);
  slow.RequestEnded();
  std::thread stopper([&] { stop.request_stop(); });
  EXPECT_FALSE(slow.WaitTurn(stop.get_token()));  // returns although ten minutes are due
  stopper.join();
}

}  // namespace
}  // namespace tarn
