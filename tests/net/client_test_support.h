// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/http/http_client.h"
#include "support/loopback_server.h"

namespace tarn::net::testing {

// Generous bounds: a test that ends on a limit or answers at once never waits for them.
inline HttpTimeouts TestTimeouts() {
  HttpTimeouts timeouts;
  timeouts.connect = std::chrono::milliseconds(5000);
  timeouts.idle_read = std::chrono::milliseconds(5000);
  return timeouts;
}

// The message of the failure of kind Error that `fetch` ends with.
template <class Error, class Fetch>
std::string FailureOf(Fetch fetch) {
  try {
    fetch();
  } catch (const Error& error) {
    return error.Message();
  }
  ADD_FAILURE() << "the fetch did not fail";
  return {};
}

// The server played every script, saw no problem and no connection beyond them.
inline void ExpectCleanServer(LoopbackServer& server) {
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
}

}  // namespace tarn::net::testing
