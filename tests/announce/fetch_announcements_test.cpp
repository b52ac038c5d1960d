// SPDX-License-Identifier: MIT
#include "announce/fetch_announcements.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/shared_flags.h"
#include "net/loopback_server.h"
#include "net/tls_script_server.h"

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

// Runs the thread's work here; what it published, if anything.
std::optional<Entries> Fetch(LoopbackServer& server, bool stop = false) {
  FeedUnreachable = 0;
  net::HttpClient client;
  const std::atomic<bool> stopped{stop};
  std::optional<Entries> published;
  FetchAnnouncements(client, server.Url("/feed"), stopped, [&](Entries list) {
    EXPECT_FALSE(published) << "published twice";
    published = std::move(list);
  });
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);  // no try beyond the scripts
  return published;
}

TEST(FetchAnnouncements, TenFailuresThenTheFeedParsedFromItsBytes) {
  // "湖光" in code page 936: any conversion of the page would change or drop it.
  const std::string page = "<P>quorbixtitle:\xBA\xFE\xB9\xE2</P><P>quorbixurl:http://a/</P>";
  std::vector<ConnectionScript> scripts = Failures(10);
  scripts.push_back({ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                                         std::to_string(page.size()) + "\r\n\r\n" + page)});
  LoopbackServer server(std::move(scripts));
  EXPECT_EQ(Fetch(server), (Entries{"\xBA\xFE\xB9\xE2", "http://a/"}));
  EXPECT_EQ(FeedUnreachable, 0);
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST(FetchAnnouncements, ElevenFailuresMarkTheFeedUnreachable) {
  LoopbackServer server(Failures(11));
  EXPECT_EQ(Fetch(server), std::nullopt);
  EXPECT_EQ(FeedUnreachable, 1);
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
  FeedUnreachable = 0;
  std::optional<Entries> published;
  {
    net::HttpClient client;
    const std::atomic<bool> stopped{false};
    FetchAnnouncements(client, server.Url("/feed"), stopped,
                       [&](Entries list) { published = std::move(list); });
  }
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
  EXPECT_EQ(published, (Entries{"news", "https://a/"}));
  EXPECT_EQ(FeedUnreachable, 0);
  EXPECT_EQ(server.Handshake(9).substr(0, 6), "failed");
  EXPECT_EQ(server.Requests(10).size(), 1u);
}

TEST(FetchAnnouncements, AStopGivesUpWithoutTheFlag) {
  LoopbackServer server({});
  EXPECT_EQ(Fetch(server, /*stop=*/true), std::nullopt);
  EXPECT_EQ(FeedUnreachable, 0);
}

}  // namespace
}  // namespace tarn
