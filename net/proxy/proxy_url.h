// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn::net {

// A proxy URL without a port names this one.
inline constexpr int kDefaultProxyPort = 1080;

enum class ProxyKind {
  kHttp,            // CONNECT tunnels for https, absolute-form requests for http
  kSocks5,          // SOCKS5 with the address looked up here
  kSocks5Hostname,  // SOCKS5 with the name looked up by the proxy
};

struct ProxyUrl {
  ProxyKind kind = ProxyKind::kHttp;
  std::string host;
  int port = kDefaultProxyPort;
  bool has_credentials = false;  // the URL held "user[:password]@"
  std::string user;              // percent-decoded
  std::string password;          // percent-decoded; never printed

  // "host:port", for messages: never the user or the password.
  std::string Name() const { return host + ":" + std::to_string(port); }
};

// Reads "[scheme://][user[:password]@]host[:port][/]"; no scheme means http. https proxies,
// SOCKS4 and other schemes fail with EProxyError, as do an empty host and a bad port.
ProxyUrl ParseProxyUrl(std::string_view text);

// The "Proxy-Authorization" value of the URL's user and password ("Basic ...").
std::string BasicCredentials(const ProxyUrl& proxy);

}  // namespace tarn::net
