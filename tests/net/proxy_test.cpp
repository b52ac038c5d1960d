// SPDX-License-Identifier: MIT
// Proxy URLs, the choice of proxy per address, and the client through scripted proxies.
#include <gtest/gtest.h>

#include <map>

#include "client_test_support.h"
#include "net/http/http_client.h"
#include "net/proxy/proxy_errors.h"
#include "net/proxy/proxy_rules.h"
#include "net/proxy/proxy_url.h"
#include "net/stream/transfer_errors.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;

TEST(ProxyUrl, ReadsKindHostPortAndDecodedCredentials) {
  const struct {
    const char* text;
    ProxyKind kind;
    const char* host;
    int port;
    bool credentials;
    const char* user;
    const char* password;
  } cases[] = {
      {"proxy.lan", ProxyKind::kHttp, "proxy.lan", 1080, false, "", ""},
      {" HTTP://10.0.0.1:8080/ ", ProxyKind::kHttp, "10.0.0.1", 8080, false, "", ""},
      {"socks5://h:1", ProxyKind::kSocks5, "h", 1, false, "", ""},
      {"socks5h://u@h", ProxyKind::kSocks5Hostname, "h", 1080, true, "u", ""},
      {"http://a%40b:p%3A%zz@h:65535", ProxyKind::kHttp, "h", 65535, true, "a@b", "p:%zz"},
      {"http://u:p@ss@h", ProxyKind::kHttp, "h", 1080, true, "u", "p@ss"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ProxyUrl proxy = ParseProxyUrl(c.text);
    EXPECT_EQ(proxy.kind, c.kind);
    EXPECT_EQ(proxy.Name(), std::string(c.host) + ":" + std::to_string(c.port));
    EXPECT_EQ(proxy.has_credentials, c.credentials);
    EXPECT_EQ(proxy.user, c.user);
    EXPECT_EQ(proxy.password, c.password);
  }
  EXPECT_EQ(BasicCredentials(ParseProxyUrl("Aladdin:open%20sesame@h")),
            "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
}

TEST(ProxyUrl, RefusesOtherKindsAndBadAddressesWithoutThePassword) {
  for (const char* text :
       {"https://u:SeCrEt@h", "socks4://u:SeCrEt@h", "socks4a://h", "ftp://h", "http://u:SeCrEt@",
        "http://u:SeCrEt@h:0", "http://h:65536", "http://h:8o", "u:SeCrEt", "http://h\x01st"}) {
    SCOPED_TRACE(text);
    const std::string message = FailureOf<EProxyError>([&] { ParseProxyUrl(text); });
    EXPECT_EQ(message.find("SeCrEt"), std::string::npos) << message;
  }
}

TEST(ProxyRules, EnvironmentAsCurlReadsIt) {
  const struct {
    std::map<std::string, std::string> variables;
    ProxyRules rules;
  } cases[] = {
      {{}, {}},
      {{{"HTTPS_PROXY", "S"}, {"HTTP_PROXY", "H"}, {"NO_PROXY", "n"}}, {"S", "", "n"}},
      {{{"https_proxy", "s"}, {"HTTPS_PROXY", "S"}, {"http_proxy", "h"}}, {"s", "h", ""}},
      {{{"ALL_PROXY", "A"}, {"http_proxy", "h"}}, {"A", "h", ""}},
      {{{"all_proxy", "a"}, {"ALL_PROXY", "A"}, {"https_proxy", " "}}, {"a", "a", ""}},
      {{{"no_proxy", "n"}, {"NO_PROXY", "N"}}, {"", "", "n"}},
  };
  for (const auto& c : cases) {
    const ProxyRules rules = ProxyRulesFromEnvironment([&](const char* name) {
      const auto found = c.variables.find(name);
      return found == c.variables.end() ? std::nullopt : std::optional(found->second);
    });
    EXPECT_EQ(rules, c.rules) << rules.https << "|" << rules.http << "|" << rules.no_proxy;
  }
  EXPECT_EQ(NamedProxyRules(" Direct "), ProxyRules{});
  EXPECT_EQ(ProxyFor(NamedProxyRules("p"), false, "h", 80), "p");
}

TEST(ProxyRules, NoProxyForms) {
  const struct {
    const char* no_proxy;
    const char* host;
    int port;
    bool bypassed;
  } cases[] = {
      {"example.com", "example.com", 443, true},
      {"example.com", "img.EXAMPLE.com", 443, true},
      {".example.com", "example.com", 443, true},
      {"example.com", "badexample.com", 443, false},
      {"a, example.com ,b", "x.example.com", 1, true},
      {"10.0.0.1", "10.0.0.1", 443, true},
      {"0.0.1", "10.0.0.1", 443, false},
      {"*", "anything", 443, true},
      {"*.example.com", "x.example.com", 443, false},
      {"h:8443", "h", 8443, true},
      {"h:8443", "h", 443, false},
      {"", "h", 443, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BypassesProxy(c.no_proxy, c.host, c.port), c.bypassed) << c.no_proxy << " " << c.host;
    EXPECT_EQ(ProxyFor({"p", "p", c.no_proxy}, true, c.host, c.port).empty(), c.bypassed);
  }
}

std::string FetchThrough(const std::string& proxy, const std::string& address) {
  HttpClient client(TestTimeouts());
  client.SetProxy(NamedProxyRules(proxy));
  return client.FetchText(address);
}

TEST(ProxyClient, PlainAddressesGoToTheProxyInAbsoluteFormOverOneConnection) {
  LoopbackServer proxy(
      {{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\na"), ReadRequest(),
        Send("HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nb"), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.SetProxy(NamedProxyRules("u%3A:p@127.0.0.1:" + std::to_string(proxy.Port())));
    EXPECT_EQ(client.FetchText("http://one.test/a?b"), "a");
    EXPECT_EQ(client.FetchText("http://two.test:8080/"), "b");
  }
  ExpectCleanServer(proxy);
  ASSERT_EQ(proxy.Requests().size(), 2u);
  EXPECT_EQ(proxy.Requests()[0],
            "GET http://one.test/a?b HTTP/1.1\r\nContent-Type: text/html\r\nHost: one.test\r\n"
            "Accept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n"
            "Proxy-Authorization: Basic dTo6cA==\r\n\r\n");
  EXPECT_TRUE(proxy.Requests()[1].starts_with("GET http://two.test:8080/ HTTP/1.1\r\n"));
}

// Each way a proxy fails: named by host and port, never by its password, and never a direct
// connection instead (the far host does not exist).
TEST(ProxyClient, FailuresNameTheProxyAndNeverGoAroundIt) {
  const struct {
    const char* scheme;
    std::string answer;
    const char* message;
    std::string asked;  // what the client sent, when the case pins it
  } cases[] = {
      {"http", "HTTP/1.1 407 Who\r\n\r\n", "要求身份验证或密码错误 (407)",
       "CONNECT far.invalid:443 HTTP/1.1\r\nHost: far.invalid:443\r\n"
       "Proxy-Authorization: Basic dTpTZUNyRXQ=\r\n\r\n"},
      {"http", "HTTP/1.0 403 No\r\n\r\n", "拒绝建立到 far.invalid:443 的隧道 (403)", ""},
      {"http", "SSH-2.0-x\r\n\r\n", "的回答不是 HTTP", ""},
      {"http", "HTTP/1.1 200 OK\r\n", "断开了连接", ""},
      {"socks5h", "\x05\xFF", "要求身份验证或密码错误 (SOCKS5)",
       std::string("\x05\x02\x00\x02", 4)},
      {"socks5h", std::string("\x05\x02\x01\x01", 4), "要求身份验证或密码错误 (SOCKS5)", ""},
      {"socks5h", std::string("\x04\x00", 2), "的回答不是 SOCKS5", ""},
      {"socks5h", std::string("\x05\x02\x01\x00\x05\x01\x00\x01", 8), "代理服务器故障 (SOCKS5 1)",
       std::string("\x05\x02\x00\x02\x01\x01u\x06SeCrEt\x05\x01\x00\x03\x0b"
                   "far.invalid\x01\xbb",
                   32)},
      {"socks5h", std::string("\x05\x02\x01\x00\x05\x09\x00\x01", 8), "未知错误 (SOCKS5 9)", ""},
      {"socks5h", std::string("\x05\x02\x01\x00\x05\x00\x00\x07", 8), "的回答不是 SOCKS5", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    LoopbackServer proxy({{Send(c.answer), CloseConnection(), AwaitClientClose()}});
    const std::string name = "127.0.0.1:" + std::to_string(proxy.Port());
    const std::string message = FailureOf<EProxyError>([&] {
      FetchThrough(std::string(c.scheme) + "://u:SeCrEt@" + name, "https://far.invalid/");
    });
    EXPECT_NE(message.find("代理 " + name), std::string::npos) << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(message.find("SeCrEt"), std::string::npos) << message;
    ExpectCleanServer(proxy);
    // Compared, not printed: the bytes hold the password.
    EXPECT_TRUE(c.asked.empty() || proxy.SeenBeforeClose(0) == c.asked);
  }
  const std::string down = "127.0.0.1:" + std::to_string(ClosedLoopbackPort());
  EXPECT_TRUE(FailureOf<EProxyError>([&] {
                FetchThrough("socks5://u:SeCrEt@" + down, "http://127.0.0.1/");
              }).starts_with("无法连接代理 " + down + "（"));
}

// socks5 looks the far host up here and sends its address; the refusal of private addresses
// holds for it, but never for the proxy itself.
TEST(ProxyClient, Socks5SendsTheAddressLookedUpHere) {
  LoopbackServer proxy(
      {{Send(std::string("\x05\x00\x05\x00\x00\x01\0\0\0\0\0\0", 12)), ReadRequest(),
        Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"), AwaitClientClose()}});
  {
    HttpClient client(TestTimeouts());
    client.SetProxy(NamedProxyRules("socks5://127.0.0.1:" + std::to_string(proxy.Port())));
    EXPECT_EQ(client.FetchText("http://localhost:8080/x"), "ok");
    client.AllowPrivateHosts(false);
    FailureOf<EAddressRefused>([&] { client.FetchText("http://127.0.0.2:8080/x"); });
  }
  ExpectCleanServer(proxy);
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(
      proxy.Requests()[0].substr(0, 28),
      std::string("\x05\x01\x00\x05\x01\x00\x01\x7f\x00\x00\x01\x1f\x90", 13) + "GET /x HTTP/1.1");
}

}  // namespace
}  // namespace tarn::net
