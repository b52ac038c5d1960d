// SPDX-License-Identifier: MIT
// Servers that never finish an answer head: endless header lines, long lines, interim answers
// or trailers, and silence. Each fetch fails with its own error once a limit is passed, and a
// head right at the limits is still read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_test_support.h"
#include "net/http/http_answer_head.h"
#include "net/http/http_client.h"
#include "net/stream/input_reader.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

constexpr std::string_view kStatusLine = "HTTP/1.1 200 OK";
constexpr std::string_view kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
constexpr std::string_view kTooLarge = "Answer head longer than 100 header lines or 262144 bytes.";

// A head of exactly kMaxHeaderLines lines and kMaxHeadBytes bytes (line ends not counted),
// with `more_lines` and `more_bytes` beyond them.
std::string HeadAtTheLimits(size_t more_lines, size_t more_bytes) {
  std::vector<std::string> lines = {std::string(kStatusLine), "Content-Length: 2"};
  size_t bytes = kStatusLine.size() + lines[1].size();
  const size_t first_pad = lines.size();
  while (lines.size() < kMaxHeaderLines + 1 + more_lines) {
    lines.push_back("X-Pad-" + std::to_string(lines.size()) + ": a");
    bytes += lines.back().size();
  }
  // Spread over the lines, each far below the longest line accepted.
  const size_t missing = kMaxHeadBytes + more_bytes - bytes;
  const size_t pads = lines.size() - first_pad;
  for (size_t i = first_pad; i < lines.size(); ++i) lines[i].append(missing / pads, 'a');
  lines.back().append(missing % pads, 'a');
  std::string head;
  for (const std::string& line : lines) head += line + "\r\n";
  return head + "\r\nok";
}

TEST(HostileHead, HeadRightAtTheLimitsIsRead) {
  LoopbackServer server({{ReadRequest(), Send(HeadAtTheLimits(0, 0)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, OneHeaderLineTooManyFails) {
  LoopbackServer server({{ReadRequest(), Send(HeadAtTheLimits(1, 0)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdAnswerHeadTooLarge>([&] { client.FetchText(server.Url("/")); }),
              kTooLarge);
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, OneHeadByteTooManyFails) {
  LoopbackServer server({{ReadRequest(), Send(HeadAtTheLimits(0, 1)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdAnswerHeadTooLarge>([&] { client.FetchText(server.Url("/")); }),
              kTooLarge);
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, EndlessHeaderLinesFail) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\n"),
                          SendRepeatedly("Set-Cookie: a=b; path=/\r\n")}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdAnswerHeadTooLarge>([&] { client.FetchText(server.Url("/")); }),
              kTooLarge);
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, EndlessLongHeaderLinesFail) {
  const std::string line = "X-Long: " + std::string(kMaxLineLength - 10, 'x') + "\r\n";
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\n"), SendRepeatedly(line)}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdAnswerHeadTooLarge>([&] { client.FetchText(server.Url("/")); }),
              kTooLarge);
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, EndlessStatusLineFails) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 "), SendRepeatedly("OK OK OK ")}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdReadLnMaxLineLengthExceeded>([&] { client.FetchText(server.Url("/")); }),
              "Max line length exceeded.");
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, SixteenInterimAnswersAreSkipped) {
  std::string answer;
  for (int i = 0; i < 16; ++i) answer += "HTTP/1.1 100 Continue\r\n\r\n";
  LoopbackServer server({{ReadRequest(), Send(answer + std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, EndlessInterimAnswersFail) {
  LoopbackServer server({{ReadRequest(), SendRepeatedly("HTTP/1.1 100 Continue\r\n\r\n")}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdException>([&] { client.FetchText(server.Url("/")); }),
              "More than 16 interim answers before the answer.");
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, EndlessTrailersFail) {
  LoopbackServer server({{ReadRequest(),
                          Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                               "2\r\nok\r\n0\r\n"),
                          SendRepeatedly("X-Trailer: t\r\n")}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(FailureOf<EIdAnswerHeadTooLarge>([&] { client.FetchText(server.Url("/")); }),
              kTooLarge);
  }
  ExpectCleanServer(server);
}

TEST(HostileHead, SilenceInsideTheHeadEndsAtTheIdleTimeout) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-"), AwaitClientClose()},
                         {ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhalf"),
                          AwaitClientClose()}});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.idle_read = milliseconds(50);
  {
    HttpClient client(timeouts);
    EXPECT_EQ(FailureOf<EIdReadTimeout>([&] { client.FetchText(server.Url("/head")); }),
              "Read Timeout");
    EXPECT_EQ(FailureOf<EIdReadTimeout>([&] { client.FetchText(server.Url("/body")); }),
              "Read Timeout");
  }
  ExpectCleanServer(server);
}

}  // namespace
}  // namespace tarn::net
