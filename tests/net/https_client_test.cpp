// SPDX-License-Identifier: MIT
// The client over TLS against a real TLS server (Python's ssl module) with a test authority
// made at run time: exact bytes, certificate checks, upgrades, kept connections, closes.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "client_test_support.h"
#include "net/http/http_client.h"
#include "net/http/http_errors.h"
#include "net/stream/memory_stream.h"
#include "net/tls/tls_errors.h"
#include "support/loopback_server.h"
#include "support/tls_script_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

// Steps of the server scripts, as JSON.
std::string Tls(const std::string& certificate = "server") {
  return R"(["tls", ")" + certificate + R"("])";
}
constexpr const char* kRead = R"(["read"])";
constexpr const char* kAwaitClose = R"(["await_close"])";
constexpr const char* kDrop = R"(["drop"])";
constexpr const char* kNotifyClose = R"(["notify_close"])";
std::string SendStep(const std::string& json_text) { return R"(["send", ")" + json_text + "\"]"; }
std::string Script(const std::vector<std::string>& steps) {
  std::string script = "[";
  for (const std::string& step : steps) script += (script.size() > 1 ? ", " : "") + step;
  return script + "]";
}
std::string Scripts(const std::vector<std::string>& scripts) { return Script(scripts); }

// An answer of 2 bytes, as JSON text.
constexpr const char* kOkJson = R"(HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok)";

std::string Request(std::string_view target, std::string_view host,
                    std::string_view extra_lines = "") {
  return "GET " + std::string(target) +
         " HTTP/1.1\r\n"
         "Content-Type: text/html\r\n"
         "Host: " +
         std::string(host) +
         "\r\n"
         "Accept: text/html, */*\r\n"
         "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n" +
         std::string(extra_lines) + "\r\n";
}

std::string HostOf(const TlsScriptServer& server) {
  return "127.0.0.1:" + std::to_string(server.Port());
}

void ExpectCleanServer(TlsScriptServer& server) {
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
}

TEST(HttpsClient, PageAndPhotoOverOneConnectionWithExactBytes) {
  // Every byte value once, so that nothing in the path can mangle a photo.
  std::string photo;
  std::string photo_json;
  for (int value = 0; value < 256; ++value) {
    photo += static_cast<char>(value);
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", value);
    photo_json += escaped;
  }
  TlsScriptServer server(Scripts({Script(
      {Tls(), kRead,
       SendStep(
           R"(HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n<html\r\n1\r\n>\r\n0\r\n\r\n)"),
       kRead, SendStep("HTTP/1.1 200 OK\\r\\nContent-Length: 256\\r\\n\\r\\n" + photo_json),
       kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    std::string page;
    const HttpResult answer = client.GetText(server.Url("/photos/album/7/"), page);
    EXPECT_EQ(page, "<html>");
    EXPECT_TRUE(answer.tls);
    EXPECT_EQ(answer.address, server.Url("/photos/album/7/"));
    MemoryStream stream(1 << 20);
    client.FetchToStream(server.Url("/view/photo/p1.jpg"), stream);
    EXPECT_EQ(stream.Take(), photo);
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Handshake(0), "ok");
  EXPECT_EQ(server.Requests(0),
            (std::vector<std::string>{Request("/photos/album/7/", HostOf(server)),
                                      Request("/view/photo/p1.jpg", HostOf(server))}));
  EXPECT_EQ(server.Seen(0), "");  // the close notify carries no bytes
}

TEST(HttpsClient, BodiesOfManyRecordsArriveWhole) {
  constexpr int kSize = 5 * 1000 * 1000;  // some hundred records, several socket reads each
  std::string expected(kSize, '\0');
  for (int i = 0; i < kSize; ++i) expected[i] = static_cast<char>(i * 7 % 251);
  const std::string head =
      R"(HTTP/1.1 200 OK\r\nContent-Length: )" + std::to_string(kSize) + R"(\r\n\r\n)";
  TlsScriptServer server(Scripts(
      {Script({Tls(), kRead, SendStep(head), R"(["pattern", )" + std::to_string(kSize) + "]", kRead,
               SendStep(R"(HTTP/1.1 200 OK\r\n\r\n)"), R"(["pattern", 70000])", kNotifyClose})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    MemoryStream stream(64 << 20);
    client.FetchToStream(server.Url("/big.jpg"), stream);
    EXPECT_TRUE(stream.Take() == expected);
    // Up to the close notify, without a length.
    EXPECT_TRUE(client.FetchText(server.Url("/until-close")) == expected.substr(0, 70000));
  }
  ExpectCleanServer(server);
}

TEST(HttpsClient, HostNamesGoOutAsServerNameAndAddressesDoNot) {
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    SCOPED_TRACE(host);
    TlsScriptServer server(Scripts({Script({Tls(), kRead, SendStep(kOkJson), kAwaitClose})}));
    ASSERT_TRUE(server.Ready());
    {
      HttpClient client(TestTimeouts());
      EXPECT_EQ(client.FetchText("https://" + host + ":" + std::to_string(server.Port()) + "/"),
                "ok");
    }
    ExpectCleanServer(server);
    EXPECT_EQ(server.Sni(0), host == "localhost" ? "localhost" : "-");
  }
}

struct BadCertificate {
  const char* certificate;
  const char* host;
  const char* reason;  // OpenSSL's own text
};

TEST(HttpsClient, EveryBadCertificateIsRefusedWithItsReasonAndNoRequest) {
  const std::vector<BadCertificate> cases = {
      {"expired", "127.0.0.1", "certificate has expired"},
      {"wrong_name", "127.0.0.1", "IP address mismatch"},
      {"wrong_name", "localhost", "hostname mismatch"},
      {"self_signed", "127.0.0.1", "self-signed certificate"},
      {"untrusted", "localhost", "unable to get local issuer certificate"},
  };
  for (const BadCertificate& bad : cases) {
    SCOPED_TRACE(std::string(bad.certificate) + " for " + bad.host);
    TlsScriptServer server(Scripts({Script({Tls(bad.certificate), kRead})}));
    ASSERT_TRUE(server.Ready());
    {
      HttpClient client(TestTimeouts());
      try {
        client.FetchText("https://" + std::string(bad.host) + ":" + std::to_string(server.Port()) +
                         "/photos/album/1/");
        ADD_FAILURE() << "fetched";
      } catch (const ETlsCertificateError& error) {
        EXPECT_EQ(error.Host(), bad.host);
        EXPECT_EQ(error.Reason(), bad.reason);
        EXPECT_EQ(error.Message(), "无法验证 " + std::string(bad.host) + " 的证书（" + bad.reason +
                                       "），连接已中止。请确认地址无误、本机日期和时间正确；"
                                       "证书总会被检查，无法跳过。");
      }
    }
    ExpectCleanServer(server);
    EXPECT_TRUE(server.Handshake(0).starts_with("failed")) << server.Handshake(0);
    EXPECT_TRUE(server.Requests(0).empty());
  }
}

TEST(HttpsClient, AServerWithNothingNewerThanTls11IsRefused) {
  TlsScriptServer server(Scripts({Script({R"(["tls_1_1"])", kRead})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    try {
      client.FetchText(server.Url("/"));
      ADD_FAILURE() << "fetched";
    } catch (const ETlsHandshakeError& error) {
      EXPECT_EQ(error.Host(), "127.0.0.1");
      EXPECT_EQ(error.Reason(), "tlsv1 alert protocol version");
    }
  }
  ExpectCleanServer(server);
  EXPECT_TRUE(server.Handshake(0).starts_with("failed")) << server.Handshake(0);
  EXPECT_TRUE(server.Requests(0).empty());
}

TEST(HttpsClient, CertificateAndHandshakeFailuresShareTheNeverRetryFamily) {
  static_assert(std::is_base_of_v<ETlsSetupError, ETlsCertificateError>);
  static_assert(std::is_base_of_v<ETlsSetupError, ETlsHandshakeError>);
  static_assert(!std::is_base_of_v<ETlsSetupError, ETlsPeerClosedMidRecord>);
  static_assert(!std::is_base_of_v<ETlsSetupError, ETlsStreamError>);
  static_assert(std::is_base_of_v<EIdException, ETlsError>);
  EXPECT_EQ(ETlsHandshakeError("h", "wrong version number").Message(),
            "无法与 h 建立加密连接（wrong version number）。请确认该地址支持 HTTPS（TLS 1.2 "
            "或更新版本）。");
  EXPECT_EQ(ETlsPeerClosedMidRecord("h").Message(),
            "h 未结束加密会话就断开了连接，收到的数据可能不完整，请稍后重试。");
  EXPECT_EQ(ETlsStreamError("h", "bad record mac").Message(),
            "与 h 的加密连接出错（bad record mac），请稍后重试。");
}

TEST(HttpsClient, UpgradeRedirectIsFollowedOnceOverANewTlsConnection) {
  for (const char* code : {"301 Moved Permanently", "302 Found", "303 See Other",
                           "307 Temporary Redirect", "308 Permanent Redirect"}) {
    SCOPED_TRACE(code);
    const std::string moved = std::string("HTTP/1.1 ") + code +
                              R"(\r\nLocation: https://127.0.0.1:{port}/photos/album/7/?start=18)"
                              R"(\r\nSet-Cookie: bid=abc\r\nContent-Length: 5\r\n\r\nmoved)";
    TlsScriptServer server(
        Scripts({Script({R"(["sniff"])", kRead, SendStep(moved), kAwaitClose}),
                 Script({R"(["sniff"])", kRead, SendStep(kOkJson), kAwaitClose})}));
    ASSERT_TRUE(server.Ready());
    const std::string plain = server.Url("/photos/album/7/?start=18", true);
    {
      HttpClient client(TestTimeouts());
      std::string page;
      const HttpResult answer = client.GetText(plain, page);
      EXPECT_EQ(page, "ok");
      EXPECT_TRUE(answer.tls);
      EXPECT_EQ(answer.address, server.Url("/photos/album/7/?start=18"));
    }
    ExpectCleanServer(server);
    EXPECT_EQ(server.Mode(0), "plain");
    EXPECT_EQ(server.Mode(1), "tls");
    EXPECT_EQ(server.Requests(0),
              std::vector<std::string>{Request("/photos/album/7/?start=18", HostOf(server))});
    EXPECT_EQ(server.Requests(1),
              std::vector<std::string>{
                  Request("/photos/album/7/?start=18", HostOf(server), "Cookie: bid=abc\r\n")});
  }
}

TEST(HttpsClient, EveryOtherRedirectFailsAsBefore) {
  struct Case {
    int code;
    const char* location;  // "{port}" stands for the server's port
  };
  const std::vector<Case> cases = {
      {301, "https://127.0.0.1:{port}/other/"},      // another path
      {302, "https://127.0.0.1:1{port}/album/"},     // another port
      {302, "http://127.0.0.1:{port}/album/"},       // no upgrade at all
      {302, "HTTPS://127.0.0.1:{port}/album/"},      // not exactly the address
      {302, "https://127.0.0.1:{port}/album/#top"},  // more than the address
      {300, "https://127.0.0.1:{port}/album/"},      // not one of the five redirect codes
      {304, "https://127.0.0.1:{port}/album/"},     {200, "https://127.0.0.1:{port}/album/"},
  };
  for (const Case& c : cases) {
    const std::string status = std::to_string(c.code);
    SCOPED_TRACE(status + " " + c.location);
    const std::string answer = "HTTP/1.1 " + status + R"( X\r\nLocation: )" + c.location +
                               R"(\r\nContent-Length: 0\r\n\r\n)";
    TlsScriptServer server(
        Scripts({Script({R"(["sniff"])", kRead, SendStep(answer), kAwaitClose})}));
    ASSERT_TRUE(server.Ready());
    {
      HttpClient client(TestTimeouts());
      std::string page;
      const HttpResult answer = client.GetText(server.Url("/album/", true), page);
      EXPECT_EQ(answer.status, c.code);
      EXPECT_EQ(answer.status_line, "HTTP/1.1 " + status + " X");
      EXPECT_FALSE(answer.tls);
      EXPECT_EQ(answer.address, server.Url("/album/", true));
    }
    ExpectCleanServer(server);
    EXPECT_EQ(server.Mode(0), "plain");
    EXPECT_EQ(server.Requests(0).size(), 1u);
  }
}

TEST(HttpsClient, KeptConnectionIsLeftForANewOneOnceTheServerHasClosedIt) {
  // With or without its close notify: after a whole answer neither is a failure.
  for (const char* close : {kNotifyClose, kDrop}) {
    SCOPED_TRACE(close);
    TlsScriptServer server(Scripts({Script({Tls(), kRead, SendStep(kOkJson), close}),
                                    Script({Tls(), kRead, SendStep(kOkJson), kAwaitClose})}));
    ASSERT_TRUE(server.Ready());
    {
      HttpClient client(TestTimeouts());
      EXPECT_EQ(client.FetchText(server.Url("/1")), "ok");
      ASSERT_TRUE(server.WaitFor("DONE 0"));
      EXPECT_EQ(client.FetchText(server.Url("/2")), "ok");
    }
    ExpectCleanServer(server);
    EXPECT_EQ(server.Requests(0), std::vector<std::string>{Request("/1", HostOf(server))});
    EXPECT_EQ(server.Requests(1), std::vector<std::string>{Request("/2", HostOf(server))});
  }
}

TEST(HttpsClient, CloseWithoutNotifyInsideACountedBodyFailsAndTheNextFetchConnectsAnew) {
  TlsScriptServer server(
      Scripts({Script({Tls(), kRead,
                       SendStep(R"(HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhalf)"), kDrop}),
               Script({Tls(), kRead, SendStep(kOkJson), kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    MemoryStream stream(1 << 20);
    try {
      client.FetchToStream(server.Url("/photo.jpg"), stream);
      ADD_FAILURE() << "fetched";
    } catch (const ETlsPeerClosedMidRecord& error) {
      EXPECT_EQ(error.Host(), "127.0.0.1");
    }
    EXPECT_EQ(stream.Take(), "half");  // what came stays, as after any failure
    EXPECT_EQ(client.FetchText(server.Url("/next")), "ok");
  }
  ExpectCleanServer(server);
}

TEST(HttpsClient, CloseNotifyEndsABodyThatRunsToTheClose) {
  TlsScriptServer server(Scripts(
      {Script({Tls(), kRead, SendStep(R"(HTTP/1.1 200 OK\r\n\r\nto the end)"), kNotifyClose})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    EXPECT_EQ(client.FetchText(server.Url("/")), "to the end");
  }
  ExpectCleanServer(server);
}

TEST(HttpsClient, SecureCookiesGoOnlyOverTls) {
  TlsScriptServer server(Scripts(
      {Script({Tls(), kRead,
               SendStep(R"(HTTP/1.1 200 OK\r\nSet-Cookie: token=s; Secure\r\nSet-Cookie: bid=p\r\n)"
                        R"(Content-Length: 2\r\n\r\nok)"),
               kRead, SendStep(kOkJson), kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  LoopbackServer plain({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
                         AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.FetchText(server.Url("/a"));
    client.FetchText(server.Url("/b"));
    client.FetchText(plain.Url("/c"));  // the same host: cookies do not care for the port
  }
  ExpectCleanServer(server);
  testing::ExpectCleanServer(plain);
  EXPECT_EQ(server.Requests(0).at(1), Request("/b", HostOf(server), "Cookie: bid=p; token=s\r\n"));
  EXPECT_EQ(plain.Requests().at(0),
            Request("/c", "127.0.0.1:" + std::to_string(plain.Port()), "Cookie: bid=p\r\n"));
}

TEST(HttpsClient, SignInGoesOnlyOverTlsToItsOrigin) {
  TlsScriptServer server(Scripts({Script({R"(["sniff"])", kRead, SendStep(kOkJson), kAwaitClose}),
                                  Script({Tls(), kRead, SendStep(kOkJson), kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  {
    HttpClient client(TestTimeouts());
    client.SetSignIn({{{"127.0.0.1", false, "/", false, 0, "dbcl2", "\"1:s\"", false}},
                      {{"127.0.0.1", server.Port()}}});
    client.FetchText(server.Url("/a", true));
    client.FetchText(server.Url("/b"));
  }
  ExpectCleanServer(server);
  EXPECT_EQ(server.Requests(0).at(0).find("Cookie:"), std::string::npos);
  EXPECT_NE(server.Requests(1).at(0).find("\r\nCookie: dbcl2=\"1:s\"\r\n"), std::string::npos);
}

TEST(HttpsClient, HandshakeCountsUnderTheConnectBound) {
  TlsScriptServer server(Scripts({Script({kAwaitClose})}));  // takes the hello, answers nothing
  ASSERT_TRUE(server.Ready());
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.connect = milliseconds(200);
  {
    HttpClient client(timeouts);
    try {
      client.FetchText(server.Url("/"));
      ADD_FAILURE() << "fetched";
    } catch (const EIdSocketError& error) {
      EXPECT_EQ(error.Number(), 10060);
    }
  }
  ExpectCleanServer(server);
}

TEST(HttpsClient, ASilentServerEndsTheReadAtTheIdleBound) {
  TlsScriptServer server(Scripts(
      {Script({Tls(), kRead, SendStep(R"(HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc)"),
               kAwaitClose}),
       Script({Tls(), kRead, SendStep(kOkJson), kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  HttpTimeouts timeouts = TestTimeouts();
  timeouts.idle_read = milliseconds(200);
  {
    HttpClient client(timeouts);
    EXPECT_THROW(client.FetchText(server.Url("/stalls")), EIdReadTimeout);
    // The rest of that answer may still come: the next fetch has a connection of its own.
    EXPECT_EQ(client.FetchText(server.Url("/next")), "ok");
  }
  ExpectCleanServer(server);
}

// A destination that says when its first bytes have come.
class WatchedStream final : public OutputStream {
 public:
  void Write(std::string_view bytes) override {
    inner_.Write(bytes);
    std::lock_guard lock(mutex_);
    written_ = true;
    changed_.notify_all();
  }
  uint64_t Position() const override { return inner_.Position(); }
  void Seek(uint64_t position) override { inner_.Seek(position); }
  void Truncate() override { inner_.Truncate(); }
  void Reserve(uint64_t size) override { inner_.Reserve(size); }
  bool WaitForBytes() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(60), [&] { return written_; });
  }

 private:
  MemoryStream inner_{1 << 20};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool written_ = false;
};

// Bounds no test waits for: only the abort can end these fetches.
HttpTimeouts Endless() {
  HttpTimeouts timeouts;
  timeouts.connect = std::chrono::minutes(30);
  timeouts.idle_read = std::chrono::minutes(30);
  return timeouts;
}

std::string AbortedFetch(HttpClient& client, const std::string& address, OutputStream& into) {
  try {
    client.FetchToStream(address, into);
  } catch (const ETlsError& error) {
    return "TLS failure: " + error.Message();
  } catch (const EIdException& error) {
    return error.Message();
  }
  return "fetched";
}

TEST(HttpsClient, AbortEndsAHandshakeAtOnce) {
  TlsScriptServer server(Scripts({Script({kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  HttpClient client(Endless());
  MemoryStream stream(1 << 20);
  std::string outcome;
  std::thread fetch([&] { outcome = AbortedFetch(client, server.Url("/"), stream); });
  const bool hello = server.WaitFor("RAW 0");  // the client's hello came: it waits for ours
  client.Abort();
  fetch.join();
  EXPECT_TRUE(hello);
  EXPECT_EQ(outcome, "Operation aborted.");
  ExpectCleanServer(server);
}

TEST(HttpsClient, AbortEndsABodyAtOnce) {
  TlsScriptServer server(Scripts({Script(
      {Tls(), kRead, SendStep(R"(HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\nfirst bytes)"),
       kAwaitClose})}));
  ASSERT_TRUE(server.Ready());
  HttpClient client(Endless());
  WatchedStream stream;
  std::string outcome;
  std::thread fetch([&] { outcome = AbortedFetch(client, server.Url("/big.jpg"), stream); });
  const bool started = stream.WaitForBytes();
  client.Abort();
  fetch.join();
  EXPECT_TRUE(started);
  EXPECT_EQ(outcome, "Operation aborted.");
  EXPECT_EQ(stream.Position(), 11u);
  ExpectCleanServer(server);
}

}  // namespace
}  // namespace tarn::net
