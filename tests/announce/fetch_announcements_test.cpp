// SPDX-License-Identifier: MIT
#include "announce/fetch_announcements.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "base/shared_flags.h"
#include "net/loopback_server.h"

namespace tarn {
namespace {

using net::testing::CloseConnection;
using net::testing::ConnectionScript;
using net::testing::LoopbackServer;
using net::testing::ReadRequest;
using net::testing::ResetConnection;
using net::testing::Send;
using Entries = std::vector<std::string>;

// "湖光" in code page 936: not UTF-8, so any conversion of the page would change or drop it.
const std::string kGbkTitle = "\xBA\xFE\xB9\xE2";

const std::string kFeedPage =
    "<HTML><BODY>\r\n<P>quorbixtitle:" + kGbkTitle +
    "</P>\r\n<P>quorbixurl:http://a.test/1</P>\r\n"
    "<P>quorbixtitle: second</P>\r\n<P>quorbixurl:http://a.test/2</P>\r\n</BODY></HTML>";

ConnectionScript Answer(const std::string& body) {
  return {ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                              "\r\n\r\n" + body)};
}

// A failed try of some kind; each one leaves the client without a connection, so the next try
// connects anew.
ConnectionScript Failure(int kind) {
  switch (kind % 4) {
    case 0:
      return {ReadRequest(),
              Send("HTTP/1.1 500 Internal Server Error\r\nContent-Length: 0\r\nConnection: "
                   "close\r\n\r\n")};
    case 1:
      return {ReadRequest(), ResetConnection()};
    case 2:
      return {ReadRequest(), CloseConnection()};
    default:
      return {ReadRequest(), Send("HTTP/1.1 302 Found\r\nLocation: http://a.test/\r\n"
                                  "Content-Length: 0\r\nConnection: close\r\n\r\n")};
  }
}

std::vector<ConnectionScript> Failures(int count) {
  std::vector<ConnectionScript> scripts;
  for (int i = 0; i < count; ++i) scripts.push_back(Failure(i));
  return scripts;
}

class FetchAnnouncementsTest : public ::testing::Test {
 protected:
  void SetUp() override { FeedUnreachable = 0; }

  // Runs the thread's work on this thread against `server`.
  void Fetch(LoopbackServer& server) {
    net::HttpClient client;
    FetchAnnouncements(client, server.Url("/feed.html"), stop_, [&](Entries list) {
      EXPECT_FALSE(published_.has_value()) << "published twice";
      published_ = std::move(list);
    });
    server.Finish();
    EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
    EXPECT_EQ(server.ExtraConnections(), 0);
  }

  std::atomic<bool> stop_{false};
  std::optional<Entries> published_;
};

TEST_F(FetchAnnouncementsTest, TheFirstSuccessIsParsedAsItsBytesCame) {
  LoopbackServer server({Answer(kFeedPage)});
  Fetch(server);
  ASSERT_TRUE(published_.has_value());
  EXPECT_EQ(*published_, (Entries{kGbkTitle, "http://a.test/1", " second", "http://a.test/2"}));
  EXPECT_EQ(FeedUnreachable, 0);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].substr(0, 20), "GET /feed.html HTTP/");
}

TEST_F(FetchAnnouncementsTest, TenFailuresThenASuccessAreParsedNormally) {
  std::vector<ConnectionScript> scripts = Failures(10);
  scripts.push_back(Answer(kFeedPage));
  LoopbackServer server(std::move(scripts));
  Fetch(server);
  ASSERT_TRUE(published_.has_value());
  EXPECT_EQ(published_->size(), 4u);
  EXPECT_EQ(FeedUnreachable, 0);
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST_F(FetchAnnouncementsTest, NoTryFollowsASuccess) {
  LoopbackServer server({Failure(0), Answer(kFeedPage)});
  Fetch(server);
  EXPECT_TRUE(published_.has_value());
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(FetchAnnouncementsTest, ElevenFailuresMarkTheFeedUnreachableAndPublishNothing) {
  LoopbackServer server(Failures(11));
  Fetch(server);
  EXPECT_FALSE(published_.has_value());
  EXPECT_EQ(FeedUnreachable, 1);
  // Eleven tries in all: Fetch checks that no twelfth connection came.
  EXPECT_EQ(server.Requests().size(), 11u);
}

TEST_F(FetchAnnouncementsTest, AnUnreachableServerCountsAsFailedTries) {
  net::HttpClient client;
  const std::string address =
      "http://127.0.0.1:" + std::to_string(net::testing::ClosedLoopbackPort()) + "/feed.html";
  FetchAnnouncements(client, address, stop_, [&](Entries list) { published_ = std::move(list); });
  EXPECT_FALSE(published_.has_value());
  EXPECT_EQ(FeedUnreachable, 1);
}

TEST_F(FetchAnnouncementsTest, APageWithoutTitlesGivesAnEmptyListAndDownloadsStayAllowed) {
  LoopbackServer server({Answer("<HTML><BODY>maintenance</BODY></HTML>")});
  Fetch(server);
  ASSERT_TRUE(published_.has_value());
  EXPECT_TRUE(published_->empty());
  EXPECT_EQ(FeedUnreachable, 0);
}

TEST_F(FetchAnnouncementsTest, AStopBeforeTheFirstTryFetchesNothingAndSetsNoFlag) {
  LoopbackServer server({});
  stop_ = true;
  Fetch(server);
  EXPECT_FALSE(published_.has_value());
  EXPECT_EQ(FeedUnreachable, 0);
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace tarn
