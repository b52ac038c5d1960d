// SPDX-License-Identifier: MIT
// The client against scripted servers on 127.0.0.1: exact request bytes in, chosen answers out.
#include "net/http/http_client.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "base/str_to_int.h"
#include "client_test_support.h"
#include "net/http/http_errors.h"
#include "net/stream/file_stream.h"
#include "net/stream/memory_stream.h"
#include "net/tls/tls_errors.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

constexpr std::string_view kOk = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";

// The request head the client must send for `target` to the server.
std::string Request(std::string_view target, const LoopbackServer& server,
                    std::string_view extra_lines = "") {
  return "GET " + std::string(target) +
         " HTTP/1.1\r\n"
         "Content-Type: text/html\r\n"
         "Host: 127.0.0.1:" +
         std::to_string(server.Port()) +
         "\r\n"
         "Accept: text/html, */*\r\n"
         "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n" +
         std::string(extra_lines) + "\r\n";
}

ConnectionScript OneAnswer(std::string answer) {
  return {ReadRequest(), Send(std::move(answer)), AwaitClientClose()};
}

template <typename Fetch>
EIdHTTPProtocolException ProtocolError(Fetch fetch) {
  try {
    fetch();
  } catch (const EIdHTTPProtocolException& error) {
    return error;
  }
  ADD_FAILURE() << "no protocol error";
  return EIdHTTPProtocolException(0, "", "");
}

TEST(HttpClient, SendsExactHeadAndReturnsBody) {
  LoopbackServer server({OneAnswer("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello")});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/photos/album/1/?start=0")), "hello");
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests(),
            std::vector<std::string>{Request("/photos/album/1/?start=0", server)});
  EXPECT_EQ(server.SeenBeforeClose(0), "");
}

TEST(HttpClient, BareHostAsksForRootAndHostNameKeepsItsSpelling) {
  LoopbackServer server({OneAnswer(std::string(kOk))});
  {
    HttpClient client(TestTimeouts());
    client.FetchText("http://LocalHost:" + std::to_string(server.Port()));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests().at(0),
            "GET / HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: LocalHost:" +
                std::to_string(server.Port()) +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n\r\n");
}

TEST(HttpClient, FragmentsAndBackslashes) {
  LoopbackServer server({{ReadRequest(), Send(std::string(kOk)), ReadRequest(),
                          Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("\\photos\\photo\\7.jpg#top"));
    client.FetchText(server.Url("/list?start=18#comments"));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests(), (std::vector<std::string>{Request("/photos/photo/7.jpg", server),
                                                         Request("/list?start=18", server)}));
}

TEST(HttpClient, RelativeAddressesUseTheRememberedDirectoryOverOneConnection) {
  LoopbackServer server(
      {{ReadRequest(), Send(std::string(kOk)), ReadRequest(), Send(std::string(kOk)), ReadRequest(),
        Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/photos/album/5/"));
    client.FetchText("../6/?start=18");
    client.FetchText("large.jpg");
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{Request("/photos/album/5/", server),
                                      Request("/photos/album/6/?start=18", server),
                                      Request("/photos/album/6/large.jpg", server)}));
}

TEST(HttpClient, HttpsToAPlainServerFailsTheHandshakeBeforeAnythingIsSent) {
  // A plain server answers the client's hello with HTTP: no TLS, and no request may follow.
  LoopbackServer server(
      {{Send("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n"), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    try {
      client.FetchText("https://127.0.0.1:" + std::to_string(server.Port()) + "/");
      FAIL() << "fetched";
    } catch (const ETlsHandshakeError& error) {
      EXPECT_EQ(error.Host(), "127.0.0.1");
      EXPECT_EQ(error.Reason(), "wrong version number");
    }
    EXPECT_EQ(client.LastAddress(), "https://127.0.0.1:" + std::to_string(server.Port()) + "/");
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.SeenBeforeClose(0).find("GET "), std::string::npos);
}

TEST(HttpClient, BadPortAndUnknownSchemeFailWithoutConnecting) {
  HttpClient client(TestTimeouts());
  try {
    client.FetchText("http://127.0.0.1:8o/");
    FAIL() << "fetched";
  } catch (const EConvertError& error) {
    EXPECT_EQ(error.Message(), "'8o' is not a valid integer value");
  }
  EXPECT_THROW(client.FetchText("ftp://127.0.0.1/file"), EIdUnknownProtocol);
}

TEST(HttpClient, RedirectFailsWithoutSecondRequest) {
  LoopbackServer server(
      {OneAnswer("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 5\r\n\r\nmoved")});
  {
    HttpClient client(TestTimeouts());
    const EIdHTTPProtocolException error =
        ProtocolError([&] { client.FetchText(server.Url("/a")); });
    EXPECT_EQ(error.ErrorCode(), 302);
    EXPECT_EQ(error.Message(), "HTTP/1.1 302 Found");
    EXPECT_EQ(error.ErrorMessage(), "moved");
    EXPECT_EQ(error.Location(), "/elsewhere");
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.SeenBeforeClose(0), "");
}

TEST(HttpClient, SuccessWithLocationFailsToo) {
  LoopbackServer server(
      {OneAnswer("HTTP/1.1 200 OK\r\nLocation: http://x/\r\nContent-Length: 2\r\n\r\nhi")});
  {
    HttpClient client(TestTimeouts());
    MemoryStream destination(64);
    EXPECT_EQ(
        ProtocolError([&] { client.FetchToStream(server.Url("/"), destination); }).ErrorCode(),
        200);
    EXPECT_EQ(destination.Take(), "");  // nothing of a failed answer reaches the destination
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.SeenBeforeClose(0), "");
}

TEST(HttpClient, NotModifiedFailsAndErrorKeepsConnection) {
  LoopbackServer server(
      {{ReadRequest(), Send("HTTP/1.1 304 Not Modified\r\nContent-Length: 0\r\n\r\n"),
        ReadRequest(), Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(ProtocolError([&] { client.FetchText(server.Url("/a")); }).ErrorCode(), 304);
    EXPECT_EQ(client.FetchText(server.Url("/b")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, NoContentReadsNothingAfterTheHead) {
  // Were the body read until the close, the fetch would wait for the server, which waits for
  // the client.
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 204 No Content\r\n\r\n"), ReadRequest(),
                          Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/a")), "");
    EXPECT_EQ(client.FetchText(server.Url("/b")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, ContinueHeadIsSkipped) {
  LoopbackServer server(
      {OneAnswer("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nbody")});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/")), "body");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, ChunkedAndCloseDelimitedBodies) {
  LoopbackServer server(
      {{ReadRequest(),
        Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
             "3\r\nabc\r\n1a\r\nabcdefghijklmnopqrstuvwxyz\r\n1A\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n"
             "0\r\n\r\n"),
        ReadRequest(), Send("HTTP/1.0 200 OK\r\n\r\nuntil the close"), CloseConnection(),
        AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/c")),
              "abcabcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(client.FetchText(server.Url("/d")), "until the close");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, ConnectionCloseInAnyCaseOpensANewConnection) {
  LoopbackServer server(
      {OneAnswer("HTTP/1.1 200 OK\r\nConnection:  CLOSE \r\nContent-Length: 2\r\n\r\nok"),
       OneAnswer("HTTP/1.1 200 OK\r\nProxy-Connection: close\r\nContent-Length: 2\r\n\r\nok"),
       OneAnswer("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok")});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/1"));
    ASSERT_TRUE(server.WaitForScripts(1));  // the client closed the first connection at once
    client.FetchText(server.Url("/2"));
    ASSERT_TRUE(server.WaitForScripts(2));
    client.FetchText(server.Url("/3"));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests().size(), 3u);
}

TEST(HttpClient, AnotherHostClosesTheOldConnectionFirst) {
  LoopbackServer server({OneAnswer(std::string(kOk)), OneAnswer(std::string(kOk))});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/"));
    client.FetchText("http://localhost:" + std::to_string(server.Port()) + "/");
    EXPECT_TRUE(server.WaitForScripts(1));
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, IdleCloseSeenByProbeLeadsToNewConnection) {
  LoopbackServer server(
      {{ReadRequest(), Send(std::string(kOk)), CloseConnection()}, OneAnswer(std::string(kOk))});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.probe = milliseconds(2000);  // the close is certain to be seen, however slow the box
  {
    HttpClient client(timeouts);
    client.FetchText(server.Url("/1"));
    ASSERT_TRUE(server.WaitForScripts(1));
    EXPECT_EQ(client.FetchText(server.Url("/2")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, IdleResetSeenByProbeLeadsToNewConnection) {
  LoopbackServer server(
      {{ReadRequest(), Send(std::string(kOk)), ResetConnection()}, OneAnswer(std::string(kOk))});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.probe = milliseconds(2000);
  {
    HttpClient client(timeouts);
    client.FetchText(server.Url("/1"));
    ASSERT_TRUE(server.WaitForScripts(1));
    EXPECT_EQ(client.FetchText(server.Url("/2")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, CloseAfterTheProbeFailsThatFetchOnlyAndTheNextConnectsAnew) {
  LoopbackServer server({{ReadRequest(), Send(std::string(kOk)), ReadRequest(), CloseConnection()},
                         OneAnswer(std::string(kOk))});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/1"));
    try {
      client.FetchText(server.Url("/2"));
      FAIL() << "fetched";
    } catch (const EIdConnClosedGracefully& error) {
      EXPECT_EQ(error.Message(), "Connection Closed Gracefully.");
    }
    EXPECT_EQ(client.FetchText(server.Url("/3")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, StatusLineWithoutNumberFailsWithMinusOne) {
  LoopbackServer server(
      {{ReadRequest(), Send("<html>\r\n\r\nnot http"), CloseConnection(), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    const EIdHTTPProtocolException error =
        ProtocolError([&] { client.FetchText(server.Url("/")); });
    EXPECT_EQ(error.ErrorCode(), -1);
    EXPECT_EQ(error.Message(), "<html>");
    EXPECT_EQ(error.ErrorMessage(), "not http");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, StatusLineAtTheLimitAndOneByteOver) {
  const std::string at_limit = "HTTP/1.1 200 " + std::string(kMaxLineLength - 14, 'K') + "\r";
  const std::string over = "HTTP/1.1 200 " + std::string(kMaxLineLength - 13, 'K') + "\r";
  LoopbackServer server(
      {{ReadRequest(), Send(at_limit + "\nContent-Length: 2\r\n\r\nok"), ReadRequest(),
        Send(over + "\nContent-Length: 2\r\n\r\nok"), AwaitClientClose()},
       OneAnswer(std::string(kOk))});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/1")), "ok");
    EXPECT_THROW(client.FetchText(server.Url("/2")), EIdReadLnMaxLineLengthExceeded);
    // The rest of that answer is never taken for the next one: the connection was dropped.
    ASSERT_TRUE(server.WaitForScripts(1));
    EXPECT_EQ(client.FetchText(server.Url("/3")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, CloseAmongHeaderLines) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"),
                          CloseConnection(), AwaitClientClose()},
                         {ReadRequest(), Send("HTTP/1.1 404 Not Found\r\nX: 1\r\n"),
                          CloseConnection(), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    try {
      client.FetchText(server.Url("/1"));
      FAIL() << "fetched";
    } catch (const EIdHTTPProtocolException&) {
      FAIL() << "wrong kind";
    } catch (const EIdException& error) {
      EXPECT_EQ(error.Message(), "Undefined situation");
    }
    EXPECT_EQ(ProtocolError([&] { client.FetchText(server.Url("/2")); }).ErrorCode(), 404);
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, ShortBodyFailsAndTheFileKeepsWhatArrived) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("tarn_http_client_short_body_" + std::to_string(getpid()) + ".jpg");
  LoopbackServer server(
      {{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcdef"),
        CloseConnection(), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    FileStream file(path.string());
    file.Write("prefix:");
    EXPECT_THROW(client.FetchToStream(server.Url("/p.jpg"), file), EIdConnClosedGracefully);
    EXPECT_EQ(file.Position(), 13u);
  }
  ExpectCleanServer(server);
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  EXPECT_EQ(contents.str(), "prefix:abcdef");
  in.close();  // Windows removes no open file
  std::filesystem::remove(path);
}

TEST(HttpClient, LargeBodyStreamsIntoTheStream) {
  std::string photo(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < photo.size(); ++i) photo[i] = static_cast<char>(i * 131 % 251);
  LoopbackServer server({OneAnswer(
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(photo.size()) + "\r\n\r\n" + photo)});
  {
    HttpClient client(TestTimeouts());
    MemoryStream destination(photo.size());
    client.FetchToStream(server.Url("/big.jpg"), destination);
    EXPECT_EQ(destination.Position(), photo.size());
    EXPECT_TRUE(destination.Take() == photo);
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, PageBeyondTheMemoryCapFailsAndDropsTheConnection) {
  LoopbackServer server({OneAnswer(
      "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kMaxTextBody + 1) + "\r\n\r\nstart")});
  {
    HttpClient client(TestTimeouts());
    EXPECT_THROW(client.FetchText(server.Url("/huge")), EIdException);
    EXPECT_TRUE(server.WaitForScripts(1));  // closed at once, not when the client goes
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, SilentServerTimesOutAndConnectionIsDropped) {
  LoopbackServer server({OneAnswer("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc"),
                         OneAnswer("HTTP/1.1 404 Not Found\r\nContent-Length: 10\r\n\r\nabc")});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.idle_read = milliseconds(100);
  timeouts.error_body = milliseconds(100);
  {
    HttpClient client(timeouts);
    EXPECT_THROW(client.FetchText(server.Url("/1")), EIdReadTimeout);
    EXPECT_TRUE(server.WaitForScripts(1));
    EXPECT_THROW(client.FetchText(server.Url("/2")), EIdReadTimeout);
    EXPECT_TRUE(server.WaitForScripts(2));
  }
  ExpectCleanServer(server);
}

TEST(HttpClient, BasicChallengesLeaveEmptyCredentialsBehind) {
  LoopbackServer server(
      {{ReadRequest(),
        Send("HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: basic realm=\"a\"\r\n"
             "Content-Length: 0\r\n\r\n"),
        ReadRequest(),
        Send("HTTP/1.1 407 Proxy\r\nProxy-Authenticate: Basic realm=\"b\"\r\n"
             "Content-Length: 0\r\n\r\n"),
        ReadRequest(), Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(ProtocolError([&] { client.FetchText(server.Url("/1")); }).ErrorCode(), 401);
    EXPECT_EQ(ProtocolError([&] { client.FetchText(server.Url("/2")); }).ErrorCode(), 407);
    client.FetchText(server.Url("/3"));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{
                Request("/1", server), Request("/2", server, "Authorization: Basic Og==\r\n"),
                Request("/3", server,
                        "Authorization: Basic Og==\r\nProxy-Authorization: Basic Og==\r\n")}));
}

TEST(HttpClient, CookiesSetByAnAnswerGoBackOnLaterRequests) {
  LoopbackServer server(
      {{ReadRequest(),
        Send("HTTP/1.1 200 OK\r\nSet-Cookie: bid=xyz; path=/\r\nContent-Length: 2\r\n\r\nok"),
        ReadRequest(), Send(std::string(kOk)), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/photos/album/1/"));
    client.FetchText(server.Url("/photos/photo/2/"));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests().at(1), Request("/photos/photo/2/", server, "Cookie: bid=xyz\r\n"));
}

TEST(HttpClient, RefusedPortAndUnknownHost) {
  HttpClient client(TestTimeouts());
  try {
    client.FetchText("http://127.0.0.1:" + std::to_string(ClosedLoopbackPort()) + "/");
    FAIL() << "fetched";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Message(), "Socket Error # 10061\r\nConnection refused.");
  }
  try {
    client.FetchText("http://img.album.invalid/photo.jpg");
    FAIL() << "fetched";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 11001);
  }
}

TEST(HttpClient, AbortEndsABlockedFetchAndEveryLaterOne) {
  LoopbackServer server({OneAnswer("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart")});
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.idle_read = milliseconds(60000);
  {
    HttpClient client(timeouts);
    std::thread window([&] {
      if (server.WaitForRequests(1)) client.Abort();
    });
    try {
      client.FetchText(server.Url("/slow"));
      ADD_FAILURE() << "fetched";
    } catch (const EIdException& error) {
      EXPECT_EQ(error.Message(), "Operation aborted.");
    }
    window.join();
    EXPECT_THROW(client.FetchText(server.Url("/again")), EIdException);
  }
  ExpectCleanServer(server);
}

}  // namespace
}  // namespace tarn::net
