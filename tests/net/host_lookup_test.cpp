// SPDX-License-Identifier: MIT
// A name lookup that hangs (a name server that never answers) must not hold a closing window:
// a cancel returns at once and the stray lookup finishes alone.
#include "net/socket/host_lookup.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>

namespace tarn::net {
namespace {

constexpr std::chrono::seconds kBound{30};

// A lookup that blocks until the test lets it go, then answers 10.9.8.7.
struct HeldLookup {
  std::mutex mutex;
  std::condition_variable changed;
  bool started = false;
  bool released = false;
  bool finished = false;

  LookupFunction Function() {
    return [this](const std::string&, platform::IPv4Address* address) {
      std::unique_lock lock(mutex);
      started = true;
      changed.notify_all();
      changed.wait(lock, [this] { return released; });
      *address = {10, 9, 8, 7};
      finished = true;
      changed.notify_all();
      return 0;
    };
  }
  bool WaitFor(bool HeldLookup::*flag) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, kBound, [&] { return this->*flag; });
  }
  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
};

TEST(HostLookup, AnswersAsTheSystemLookupDoes) {
  LookupCancel cancel;
  platform::IPv4Address address{};
  EXPECT_EQ(LookupAbortably("host", &address, cancel,
                            [](const std::string& host, platform::IPv4Address* found) {
                              *found = {1, 2, 3, static_cast<uint8_t>(host.size())};
                              return 0;
                            }),
            0);
  EXPECT_EQ(address, (platform::IPv4Address{1, 2, 3, 4}));
  EXPECT_EQ(LookupAbortably("x", &address, cancel,
                            [](const std::string&, platform::IPv4Address*) { return 11001; }),
            11001);
}

TEST(HostLookup, CancelAbandonsAHangingLookupAtOnce) {
  HeldLookup held;
  LookupCancel cancel;
  auto lookup = std::async(std::launch::async, [&] {
    platform::IPv4Address address{};
    LookupAbortably("slow.example", &address, cancel, held.Function());
  });
  ASSERT_TRUE(held.WaitFor(&HeldLookup::started));
  cancel.Cancel();
  const bool returned = lookup.wait_for(kBound) == std::future_status::ready;
  held.Release();  // lets the stray helper end before the test does
  ASSERT_TRUE(returned) << "the cancel waited for the lookup";
  EXPECT_THROW(lookup.get(), ELookupAbandoned);
  EXPECT_TRUE(held.WaitFor(&HeldLookup::finished));
}

TEST(HostLookup, ACancelledConnectionStartsNoLookup) {
  LookupCancel cancel;
  cancel.Cancel();
  bool called = false;
  platform::IPv4Address address{};
  EXPECT_THROW(LookupAbortably("h", &address, cancel,
                               [&](const std::string&, platform::IPv4Address*) {
                                 called = true;
                                 return 0;
                               }),
               ELookupAbandoned);
  EXPECT_FALSE(called);
}

}  // namespace
}  // namespace tarn::net
