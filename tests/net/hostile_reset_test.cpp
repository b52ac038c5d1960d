// SPDX-License-Identifier: MIT
// A server that resets the connection in every phase of an answer. A reset never passes for
// the end of an answer that was not complete, and the next fetch connects anew and succeeds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/http/http_client.h"
#include "net/socket/socket_error_text.h"
#include "support/child_process.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

constexpr std::string_view kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
constexpr std::string_view kReset = "Socket Error # 10054\r\nConnection reset by peer.";
constexpr std::string_view kClosed = "Connection Closed Gracefully.";
constexpr std::string_view kUndefined = "Undefined situation";
constexpr std::string_view kCounted = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n";
constexpr std::string_view kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

struct Phase {
  const char* name;
  std::string sent;     // what the server sends before its reset
  std::string outcome;  // the failure's message, or "body: " and the body
};

std::string Outcome(HttpClient& client, const std::string& address) {
  try {
    return "body: " + client.FetchText(address);
  } catch (const EIdException& error) {
    return error.Message();
  }
}

TEST(HostileReset, EveryPhaseOfAnAnswer) {
  if (tarn::testing::UnderWine()) GTEST_SKIP() << "Wine reports a reset as an orderly close";
  const std::string counted(kCounted);
  const std::string chunked(kChunked);
  const std::vector<Phase> phases = {
      {"before the status line", "", std::string(kReset)},
      {"inside the status line", "HTTP/1.1 20", std::string(kClosed)},
      {"after the status line", "HTTP/1.1 200 OK\r\n", std::string(kReset)},
      {"inside a header line", "HTTP/1.1 200 OK\r\nContent-Le", std::string(kUndefined)},
      {"after a header line", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", std::string(kReset)},
      {"before a counted body", counted, std::string(kReset)},
      {"inside a counted body", counted + "hello", std::string(kReset)},
      {"inside a body that runs to the close", "HTTP/1.1 200 OK\r\n\r\npartial",
       std::string(kReset)},
      {"inside a chunk-size line", chunked + "1", std::string(kClosed)},
      {"inside a chunk", chunked + "a\r\nhello", std::string(kReset)},
      {"after a chunk's data", chunked + "a\r\n0123456789", std::string(kReset)},
      {"after the last chunk", chunked + "a\r\n0123456789\r\n0\r\n", std::string(kReset)},
      {"inside an error answer's body", "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nno",
       std::string(kReset)},
      {"after a whole answer", std::string(kOk), "body: ok"},
  };
  for (const Phase& phase : phases) {
    SCOPED_TRACE(phase.name);
    LoopbackServer server({{ReadRequest(), Send(phase.sent), ResetConnection()},
                           {ReadRequest(), Send(std::string(kOk)), AwaitClientClose()}});
    HttpTimeouts timeouts;
    timeouts.connect = milliseconds(5000);
    timeouts.idle_read = milliseconds(5000);
    // Long enough for the probe to see a reset that follows a whole answer.
    timeouts.probe = milliseconds(2000);
    {
      HttpClient client(timeouts);
      EXPECT_EQ(Outcome(client, server.Url("/phase")), phase.outcome);
      ASSERT_TRUE(server.WaitForScripts(1));
      EXPECT_EQ(Outcome(client, server.Url("/next")), "body: ok");
    }
    server.Finish();
    EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
    EXPECT_EQ(server.ExtraConnections(), 0);
  }
}

// The reset may meet the request on its way out or the wait for the answer; either way the
// fetch fails with the connection lost, never hangs, and the next one connects anew.
TEST(HostileReset, BeforeTheRequestIsRead) {
  if (tarn::testing::UnderWine()) GTEST_SKIP() << "Wine reports a reset as an orderly close";
  LoopbackServer server(
      {{ResetConnection()}, {ReadRequest(), Send(std::string(kOk)), AwaitClientClose()}});
  HttpTimeouts timeouts;
  timeouts.connect = milliseconds(5000);
  timeouts.idle_read = milliseconds(5000);
  {
    HttpClient client(timeouts);
    try {
      client.FetchText(server.Url("/first"));
      ADD_FAILURE() << "the fetch did not fail";
    } catch (const EIdSocketError& error) {
      EXPECT_TRUE(IsConnectionLost(error.Number())) << error.Message();
    }
    ASSERT_TRUE(server.WaitForScripts(1));
    EXPECT_EQ(client.FetchText(server.Url("/next")), "ok");
  }
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
}

}  // namespace
}  // namespace tarn::net
