// SPDX-License-Identifier: MIT
#include "announce/fetch_announcements.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/loopback_server.h"
#include "support/tls_script_server.h"

namespace tarn {
namespace {

using namespace net::testing;
using Entries = std::vector<std::string>;

// Failed tries of several kinds; each leaves the client without a connection.
std::vector<ConnectionScript> Failures(int count) {
  const std::string refused = "HTTP/1.1 500 Oops\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  const ConnectionScript kinds[] = {{ReadRequest(), Send(refused)},
                                    {ReadRequest(), ResetConnection()},
                                    {ReadRequest(), CloseConnection()}};
  std::vector<ConnectionScript> scripts;
  for (int i = 0; i < count; ++i) scripts.push_back(kinds[i % 3]);
  return scripts;
}

struct Outcome {
  std::optional<Entries> published;
  int unreachable = 0;  // times the feed was reported unreachable
};

// Runs the thread's work here; what it reported.
Outcome Fetch(LoopbackServer& server, bool stop = false) {
  net::HttpClient client;
  std::stop_source stopped;
  if (stop) stopped.request_stop();
  Outcome outcome;
  AnnouncementEvents events;
  events.ready = [&](Entries list) {
    EXPECT_FALSE(outcome.published) << "published twice";
    outcome.published = std::move(list);
  };
  events.unreachable = [&] { ++outcome.unreachable; };
  FetchAnnouncements(client, server.Url("/feed"), stopped.get_token(), events);
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);  // no try beyond the scripts
  return outcome;
}

TEST(FetchAnnouncements, TenFailuresThenTheFeedDecodedByItsCharset) {
  // "陆路" in code page 936, bytes that read as "½·" in UTF-8: only the answer's charset tells.
  const std::string page = "<P>quorbixtitle:\xC2\xBD\xC2\xB7</P><P>quorbixurl:http://a/</P>";
  std::vector<ConnectionScript> scripts = Failures(10);
  scripts.push_back({ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=GBK"
                                         "\r\nContent-Length: " +
                                         std::to_string(page.size()) + "\r\n\r\n" + page)});
  LoopbackServer server(std::move(scripts));
  const Outcome outcome = Fetch(server);
  EXPECT_EQ(outcome.published, (Entries{"陆路", "http://a/"}));
  EXPECT_EQ(outcome.unreachable, 0);
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST(FetchAnnouncements, ElevenFailuresMarkTheFeedUnreachable) {
  LoopbackServer server(Failures(11));
  const Outcome outcome = Fetch(server);
  EXPECT_EQ(outcome.published, std::nullopt);
  EXPECT_EQ(outcome.unreachable, 1);
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST(FetchAnnouncements, AnHttpsFeedAfterTriesRefusedForTheirCertificate) {
  // A certificate failure is a failed try like any other; the eleventh try finds a good one.
  std::string scripts = "[";
  for (int i = 0; i < 10; ++i) scripts += R"([["tls", "expired"]], )";
  scripts += R"([["tls", "server"], ["read"], ["send", "HTTP/1.1 200 OK\r\nContent-Length: )"
             R"(52\r\n\r\n<P>quorbixtitle:news</P><P>quorbixurl:https://a/</P>"]]])";
  TlsScriptServer server(scripts);
  ASSERT_TRUE(server.Ready());
  std::optional<Entries> published;
  bool unreachable = false;
  {
    net::HttpClient client;
    FetchAnnouncements(client, server.Url("/feed"), {},
                       {[&](Entries list) { published = std::move(list); },
                        [&] { unreachable = true; }});
  }
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
  EXPECT_EQ(published, (Entries{"news", "https://a/"}));
  EXPECT_FALSE(unreachable);
  EXPECT_EQ(server.Handshake(9).substr(0, 6), "failed");
  EXPECT_EQ(server.Requests(10).size(), 1u);
}

TEST(FetchAnnouncements, AStopGivesUpWithoutTheFlag) {
  LoopbackServer server({});
  const Outcome outcome = Fetch(server, /*stop=*/true);
  EXPECT_EQ(outcome.published, std::nullopt);
  EXPECT_EQ(outcome.unreachable, 0);
}

}  // namespace
}  // namespace tarn
