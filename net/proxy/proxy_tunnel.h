// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string_view>

#include "net/proxy/proxy_url.h"
#include "net/socket/platform_socket.h"

namespace tarn::net {

class SocketConnection;

// The handshakes that have a proxy, freshly connected on `connection`, reach host:port, each
// step before `deadline`. They read no byte past their answer: TLS starts right after on the
// same socket. Every failure is an EProxyError naming the proxy.

// Fails with the message of a proxy that wants credentials or takes not the URL's; `how`:
// "407" or "SOCKS5".
[[noreturn]] void ThrowProxyAuthenticationWanted(const ProxyUrl& proxy, std::string_view how);

// "CONNECT host:port HTTP/1.1", with the URL's credentials when it has them.
void OpenHttpTunnel(SocketConnection& connection, const ProxyUrl& proxy, std::string_view host,
                    int port, std::chrono::steady_clock::time_point deadline);

// A SOCKS5 CONNECT to `address` when given (looked up here), else to the name `host`; with the
// URL's credentials (RFC 1929) when it has them.
void OpenSocks5Tunnel(SocketConnection& connection, const ProxyUrl& proxy, std::string_view host,
                      const platform::IPv4Address* address, int port,
                      std::chrono::steady_clock::time_point deadline);

}  // namespace tarn::net
