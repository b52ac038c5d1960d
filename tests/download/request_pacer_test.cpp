// SPDX-License-Identifier: MIT
#include "download/request_pacer.h"

#include <gtest/gtest.h>

#include <thread>

#include "download/request_policy.h"

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

// A clock that only moves when the pacer sleeps.
struct FakeTime {
  RequestPacer::Clock::time_point now{};
  RequestPacer::Clock::duration slept{};
  PacerTime Time() {
    return {[this] { return now; },
            [this](RequestPacer::Clock::duration d) {
              now += d;
              slept += d;
            }};
  }
};

// Pages and pictures keep a pace each: a picture never waits for the page pause and a page never
// for the picture's; a slow-down doubles only the kind it came for.
TEST(ServicePolicy, PagesAndPicturesArePacedApart) {
  using std::chrono::duration_cast;
  const struct {
    const char* why;
    Asked asked;
    int least_ms, most_ms;      // how long the request waited for its turn
    bool slowed_after = false;  // the server answered it with "slow down"
  } steps[] = {
      {"the first page goes at once", Asked::kPage, 0, 0},
      {"the first picture too", Asked::kPicture, 0, 0},
      {"a picture after a picture", Asked::kPicture, 75, 125},
      {"a page after pictures: the page pause less the time passed", Asked::kPage, 375, 825},
      {"a picture long after the last", Asked::kPicture, 0, 0, true},
      {"a picture after a slow-down: twice its pause", Asked::kPicture, 150, 250},
      {"pages keep their pause", Asked::kPage, 250, 750},
  };
  FakeTime time;
  RequestPacer pages(milliseconds(800), 7, time.Time());
  RequestPacer pictures(milliseconds(100), 7, time.Time());
  DownloadJob job;
  const auto policy = MakeServicePolicy(job, pages, pictures);
  net::HttpClient client;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.why);
    time.slept = {};
    ASSERT_TRUE(policy->BeforeRequest(client, step.asked, "", {}));
    const auto waited = duration_cast<milliseconds>(time.slept).count();
    EXPECT_GE(waited, step.least_ms);
    EXPECT_LE(waited, step.most_ms);
    time.now += milliseconds(50);  // the request itself
    policy->RequestEnded();
    if (step.slowed_after) policy->SlowDown();
  }
  EXPECT_EQ(pictures.Pause(), milliseconds(200));
  EXPECT_EQ(pages.Pause(), milliseconds(800));
}

}  // namespace
}  // namespace tarn
