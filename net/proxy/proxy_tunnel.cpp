// SPDX-License-Identifier: MIT
#include "net/proxy/proxy_tunnel.h"

#include <algorithm>
#include <string>

#include "net/http/integer_text.h"
#include "net/proxy/proxy_errors.h"
#include "net/socket/socket_connection.h"

namespace tarn::net {
namespace {

using Clock = std::chrono::steady_clock;

// Longest CONNECT answer head we read; real proxies send a few hundred bytes.
constexpr size_t kMaxTunnelHeadBytes = 16384;
constexpr int kProxyAuthenticationRequired = 407;
constexpr uint8_t kSocksVersion = 5;
constexpr uint8_t kNoAuthentication = 0;
constexpr uint8_t kUserPassword = 2;
constexpr uint8_t kNoAcceptableMethod = 0xFF;
constexpr uint8_t kUserPasswordVersion = 1;
constexpr uint8_t kConnectCommand = 1;
constexpr uint8_t kIPv4Type = 1;
constexpr uint8_t kNameType = 3;
constexpr uint8_t kIPv6Type = 4;
// One length byte carries a SOCKS name, user or password.
constexpr size_t kMaxSocksField = 255;

std::string Label(const ProxyUrl& proxy) { return "代理 " + proxy.Name(); }

[[noreturn]] void ThrowNoSocks5(const ProxyUrl& proxy) {
  throw EProxyError(Label(proxy) + " 的回答不是 SOCKS5");
}

// What RFC 1928 names each reply code.
std::string SocksReplyText(uint8_t code) {
  static constexpr const char* kTexts[] = {"代理服务器故障", "规则不允许这个连接", "网络不可达",
                                           "主机不可达",     "连接被拒绝",         "TTL 已过期",
                                           "不支持这个命令", "不支持这种地址类型"};
  if (code >= 1 && code <= std::size(kTexts)) return kTexts[code - 1];
  return "未知错误";
}

class ProxyChannel {
 public:
  ProxyChannel(SocketConnection& connection, const ProxyUrl& proxy, Clock::time_point deadline)
      : connection_(connection), proxy_(proxy), deadline_(deadline) {}

  void Send(std::string_view bytes) {
    try {
      connection_.Write(bytes);
    } catch (const EIdSocketError& error) {
      throw EProxyError("与" + Label(proxy_) + " 的连接出错（" + error.what() + "）");
    } catch (const EIdConnClosedGracefully&) {
      throw EProxyError(Label(proxy_) + " 断开了连接");
    }
  }

  // Exactly `count` bytes, or EProxyError.
  std::string Receive(size_t count) {
    std::string bytes(count, '\0');
    for (size_t got = 0; got < count;) {
      const auto left =
          std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()),
                   std::chrono::milliseconds(0));
      size_t received = 0;
      try {
        received = connection_.Receive(bytes.data() + got, count - got, left);
      } catch (const EIdReadTimeout&) {
        throw EProxyError(Label(proxy_) + " 没有及时回答");
      } catch (const EIdSocketError& error) {
        throw EProxyError("与" + Label(proxy_) + " 的连接出错（" + error.what() + "）");
      }
      if (received == 0) throw EProxyError(Label(proxy_) + " 断开了连接");
      got += received;
    }
    return bytes;
  }

 private:
  SocketConnection& connection_;
  const ProxyUrl& proxy_;
  Clock::time_point deadline_;
};

void AddSocksField(std::string& message, const ProxyUrl& proxy, std::string_view field) {
  if (field.size() > kMaxSocksField)
    throw EProxyError(Label(proxy) + " 的名称、用户名或密码超过 255 字节，SOCKS5 无法传送");
  message += static_cast<char>(field.size());
  message += field;
}

}  // namespace

void ThrowProxyAuthenticationWanted(const ProxyUrl& proxy, std::string_view how) {
  throw EProxyError(Label(proxy) + " 要求身份验证或密码错误 (" + std::string(how) + ")");
}

void OpenHttpTunnel(SocketConnection& connection, const ProxyUrl& proxy, std::string_view host,
                    int port, Clock::time_point deadline) {
  ProxyChannel channel(connection, proxy, deadline);
  const std::string authority = std::string(host) + ":" + std::to_string(port);
  std::string request = "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n";
  if (proxy.has_credentials) request += "Proxy-Authorization: " + BasicCredentials(proxy) + "\r\n";
  channel.Send(request + "\r\n");
  // One byte at a time: what follows the empty line is the tunnel's, TLS reads it.
  std::string head;
  while (!head.ends_with("\r\n\r\n") && !head.ends_with("\n\n")) {
    if (head.size() == kMaxTunnelHeadBytes) throw EProxyError(Label(proxy) + " 的回答不是 HTTP");
    head += channel.Receive(1);
  }
  // "HTTP/1.x NNN reason"
  int status = 0;
  const size_t space = head.find(' ');
  if (head.starts_with("HTTP/") && space < head.find('\n'))
    status = ParseInteger32(head.substr(space + 1, 3)).value_or(0);
  if (status < 100) throw EProxyError(Label(proxy) + " 的回答不是 HTTP");
  if (status == kProxyAuthenticationRequired) ThrowProxyAuthenticationWanted(proxy, "407");
  if (status < 200 || status > 299) {
    throw EProxyError(Label(proxy) + " 拒绝建立到 " + authority + " 的隧道 (" +
                      std::to_string(status) + ")");
  }
}

void OpenSocks5Tunnel(SocketConnection& connection, const ProxyUrl& proxy, std::string_view host,
                      const platform::IPv4Address* address, int port, Clock::time_point deadline) {
  ProxyChannel channel(connection, proxy, deadline);
  std::string greeting{static_cast<char>(kSocksVersion)};
  if (proxy.has_credentials) {
    greeting += {2, static_cast<char>(kNoAuthentication), static_cast<char>(kUserPassword)};
  } else {
    greeting += {1, static_cast<char>(kNoAuthentication)};
  }
  channel.Send(greeting);
  const std::string chosen = channel.Receive(2);
  if (chosen[0] != static_cast<char>(kSocksVersion)) ThrowNoSocks5(proxy);
  const auto method = static_cast<uint8_t>(chosen[1]);
  if (method == kNoAcceptableMethod) ThrowProxyAuthenticationWanted(proxy, "SOCKS5");
  if (method == kUserPassword && proxy.has_credentials) {
    std::string login{static_cast<char>(kUserPasswordVersion)};
    AddSocksField(login, proxy, proxy.user);
    AddSocksField(login, proxy, proxy.password);
    channel.Send(login);
    const std::string status = channel.Receive(2);
    if (status[1] != 0) ThrowProxyAuthenticationWanted(proxy, "SOCKS5");
  } else if (method != kNoAuthentication) {
    ThrowNoSocks5(proxy);
  }

  std::string request{static_cast<char>(kSocksVersion), static_cast<char>(kConnectCommand), 0};
  if (address != nullptr) {
    request += static_cast<char>(kIPv4Type);
    request.append(address->begin(), address->end());
  } else {
    request += static_cast<char>(kNameType);
    AddSocksField(request, proxy, host);
  }
  request += static_cast<char>(port >> 8);
  request += static_cast<char>(port & 0xFF);
  channel.Send(request);
  const std::string reply = channel.Receive(4);
  if (reply[0] != static_cast<char>(kSocksVersion)) ThrowNoSocks5(proxy);
  if (const auto code = static_cast<uint8_t>(reply[1]); code != 0) {
    throw EProxyError(Label(proxy) + " 无法连接 " + std::string(host) + ":" + std::to_string(port) +
                      "：" + SocksReplyText(code) + " (SOCKS5 " + std::to_string(code) + ")");
  }
  // The address the proxy bound, and its port: read to their end, not used.
  switch (static_cast<uint8_t>(reply[3])) {
    case kIPv4Type:
      channel.Receive(4 + 2);
      break;
    case kIPv6Type:
      channel.Receive(16 + 2);
      break;
    case kNameType:
      channel.Receive(static_cast<uint8_t>(channel.Receive(1)[0]) + 2u);
      break;
    default:
      ThrowNoSocks5(proxy);
  }
}

}  // namespace tarn::net
