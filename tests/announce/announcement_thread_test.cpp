// SPDX-License-Identifier: MIT
#include "announce/announcement_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/shared_flags.h"
#include "net/loopback_server.h"

namespace tarn {
namespace {

using net::testing::AwaitClientClose;
using net::testing::LoopbackServer;
using net::testing::ReadRequest;
using net::testing::Send;
using Entries = std::vector<std::string>;

constexpr std::chrono::seconds kWaitBound{10};  // far beyond a loopback fetch

// Collects what the thread publishes, from whichever thread it comes.
class Published {
 public:
  AnnouncementsReady Receiver() {
    return [this](Entries list) {
      std::lock_guard lock(mutex_);
      list_ = std::move(list);
      thread_ = std::this_thread::get_id();
      arrived_.notify_all();
    };
  }

  bool Wait() {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, kWaitBound, [&] { return list_.has_value(); });
  }

  std::optional<Entries> List() {
    std::lock_guard lock(mutex_);
    return list_;
  }

  std::thread::id Thread() {
    std::lock_guard lock(mutex_);
    return thread_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::optional<Entries> list_;
  std::thread::id thread_;
};

TEST(AnnouncementThread, FetchesOnItsOwnThreadAtOnce) {
  FeedUnreachable = 0;
  const std::string page = "<P>quorbixtitle:A</P><P>quorbixurl:http://a.test/</P>";
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                                              std::to_string(page.size()) + "\r\n\r\n" + page)}});
  Published published;
  {
    AnnouncementThread thread(server.Url("/feed"), published.Receiver());
    ASSERT_TRUE(published.Wait());
  }
  EXPECT_EQ(published.List(), (Entries{"A", "http://a.test/"}));
  EXPECT_NE(published.Thread(), std::this_thread::get_id());
  EXPECT_EQ(FeedUnreachable, 0);
}

TEST(AnnouncementThread, GoingAwayDuringAFetchBreaksItOffWithoutRetriesOrFlag) {
  FeedUnreachable = 0;
  // The server takes the request and never answers.
  LoopbackServer server({{ReadRequest(), AwaitClientClose()}});
  Published published;
  {
    AnnouncementThread thread(server.Url("/feed"), published.Receiver());
    ASSERT_TRUE(server.WaitForRequests(1));
  }  // must return although the answer never comes
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);  // no second try after the stop
  EXPECT_FALSE(published.List().has_value());
  EXPECT_EQ(FeedUnreachable, 0);
}

}  // namespace
}  // namespace tarn
