// SPDX-License-Identifier: MIT
#include "net/socket/socket_connection.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "net/proxy/proxy_errors.h"
#include "net/proxy/proxy_tunnel.h"
#include "net/socket/address_guard.h"
#include "net/socket/host_address.h"
#include "net/socket/socket_error_text.h"
#include "net/socket/socket_errors.h"
#include "net/tls/tls_errors.h"

namespace tarn::net {
namespace {

constexpr int kLowestPort = 1;
constexpr int kHighestPort = std::numeric_limits<uint16_t>::max();
constexpr const char* kAbortedMessage = "Operation aborted.";
// A TLS peer that takes no bytes for this long is gone; plain sends are left to the system.
constexpr std::chrono::milliseconds kTlsSendStall{60000};

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Left(Clock::time_point deadline) {
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                  std::chrono::milliseconds(0));
}

}  // namespace

SocketConnection::SocketConnection() = default;

SocketConnection::~SocketConnection() { Close(); }

void SocketConnection::Open(std::string_view host, int port,
                            std::chrono::milliseconds connect_limit, const TlsContext* tls,
                            const ProxyUrl* proxy) {
  const Clock::time_point deadline = Clock::now() + connect_limit;
  Close();
  input_.Reset();
  ThrowIfAborted();
  if (proxy != nullptr) {
    OpenThroughProxy(*proxy, host, port, tls != nullptr, deadline);
  } else {
    const platform::IPv4Address address = ResolveHost(host, lookup_cancel_);
    last_peer_private_ = IsPrivateAddress(address);
    if (!private_allowed_) RefusePrivateAddress(host, address);
    Connect(address, port, connect_limit);
  }
  if (tls == nullptr) return;
  try {
    tls_ = std::make_unique<TlsSession>(*tls, socket_, host, Left(deadline));
  } catch (...) {
    Close();
    ThrowIfAborted();  // the abort's shutdown made the handshake fail
    throw;
  }
}

void SocketConnection::Connect(const platform::IPv4Address& address, int port,
                               std::chrono::milliseconds limit) {
  // A port outside the 16-bit range would wrap around to some other port.
  if (port < kLowestPort || port > kHighestPort) throw EIdSocketError(kWsaAddressNotAvailable);
  platform::SocketHandle socket = platform::kNoSocket;
  if (platform::CreateStreamSocket(&socket) != 0) throw EIdInvalidSocket();
  Adopt(socket);
  if (const int error = platform::BindAnyAddress(socket)) {
    Close();
    if (error == kWsaAddressInUse) throw EIdCouldNotBindSocket();
    throw EIdSocketError(error);
  }
  const int error = platform::Connect(socket, address, static_cast<uint16_t>(port), limit);
  if (error != 0 || aborted_) {
    Close();
    ThrowIfAborted();
    throw EIdSocketError(error);
  }
}

void SocketConnection::OpenThroughProxy(const ProxyUrl& proxy, std::string_view host, int port,
                                        bool tunnel, Clock::time_point deadline) {
  if (port < kLowestPort || port > kHighestPort) throw EIdSocketError(kWsaAddressNotAvailable);
  // Only socks5 has the far host looked up here, so only there can its address be refused.
  std::optional<platform::IPv4Address> far;
  last_peer_private_ = false;
  if (proxy.kind == ProxyKind::kSocks5) {
    far = ResolveHost(host, lookup_cancel_);
    last_peer_private_ = IsPrivateAddress(*far);
    if (!private_allowed_) RefusePrivateAddress(host, *far);
  }
  // The proxy is the user's own choice: on the loopback or the LAN it is never refused.
  try {
    Connect(ResolveHost(proxy.host, lookup_cancel_), proxy.port, Left(deadline));
  } catch (const EIdSocketError& error) {
    std::string reason = error.what();  // "Socket Error # n" and its text, on one line
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    throw EProxyError("无法连接代理 " + proxy.Name() + "（" + reason + "）");
  }
  try {
    if (proxy.kind != ProxyKind::kHttp) {
      OpenSocks5Tunnel(*this, proxy, host, far ? &*far : nullptr, port, deadline);
    } else if (tunnel) {
      OpenHttpTunnel(*this, proxy, host, port, deadline);
    }
  } catch (...) {
    Close();
    ThrowIfAborted();
    throw;
  }
}

void SocketConnection::Close() {
  if (!IsOpen()) return;
  if (tls_) {
    if (!aborted_) tls_->NotifyClose();
    tls_.reset();
  }
  std::lock_guard lock(socket_mutex_);
  platform::Close(socket_);
  socket_ = platform::kNoSocket;
}

void SocketConnection::Probe(std::chrono::milliseconds wait) {
  if (!IsOpen()) return;
  // Before nearly every request nothing is held and nothing arrives: one look at the socket
  // tells so, rather than a read that ends in a timeout.
  if (input_.Buffered() == 0 && !(tls_ && tls_->HasBuffered())) {
    const platform::IoResult ready = platform::WaitReady(socket_, false, wait);
    if (ready.error == 0 && ready.timed_out) return;
  }
  try {
    if (!input_.Poll(wait)) Close();
  } catch (const EIdSocketError&) {
    // Whatever went wrong, the connection cannot carry the next request.
    Close();
  } catch (const ETlsError&) {
    Close();
  }
}

void SocketConnection::Write(std::string_view bytes) {
  ThrowIfAborted();
  if (input_.PeerClosed()) {
    Close();
    throw EIdConnClosedGracefully();
  }
  if (!IsOpen()) throw EIdNotConnected();
  if (tls_) {
    WriteEncrypted(bytes);
    return;
  }
  while (!bytes.empty()) {
    const platform::IoResult sent = platform::Send(socket_, bytes.data(), bytes.size());
    if (sent.error != 0) {
      if (IsConnectionLost(sent.error)) Close();
      ThrowIfAborted();
      throw EIdSocketError(sent.error);
    }
    if (sent.count == 0) {
      Close();
      throw EIdConnClosedGracefully();
    }
    bytes.remove_prefix(sent.count);
  }
}

void SocketConnection::Abort() {
  aborted_ = true;
  lookup_cancel_.Cancel();
  std::lock_guard lock(socket_mutex_);
  if (socket_ != platform::kNoSocket) platform::ShutdownBoth(socket_);
}

size_t SocketConnection::Receive(char* into, size_t capacity, std::chrono::milliseconds wait) {
  ThrowIfAborted();
  if (!IsOpen()) throw EIdNotConnected();
  if (tls_) return ReceiveEncrypted(into, capacity, wait);
  const platform::IoResult received = platform::Receive(socket_, into, capacity, wait);
  // An abort shuts the socket down, which reads like a close: it must not end a body cleanly.
  ThrowIfAborted();
  if (received.timed_out) throw EIdReadTimeout();
  if (received.error != 0) {
    if (IsConnectionLost(received.error)) Close();
    throw EIdSocketError(received.error);
  }
  if (received.count == 0) Close();
  return received.count;
}

size_t SocketConnection::ReceiveEncrypted(char* into, size_t capacity,
                                          std::chrono::milliseconds wait) {
  size_t received = 0;
  try {
    received = tls_->Receive(into, capacity, wait);
  } catch (const EIdReadTimeout&) {
    ThrowIfAborted();
    throw;
  } catch (const EIdException&) {
    Close();  // any other failure leaves the session broken for good
    ThrowIfAborted();
    throw;
  }
  ThrowIfAborted();
  if (received == 0) Close();
  return received;
}

void SocketConnection::WriteEncrypted(std::string_view bytes) {
  try {
    tls_->Send(bytes, kTlsSendStall);
  } catch (...) {
    Close();
    ThrowIfAborted();
    throw;
  }
}

void SocketConnection::ThrowIfAborted() const {
  if (aborted_) throw EIdException(kAbortedMessage);
}

void SocketConnection::Adopt(platform::SocketHandle socket) {
  std::lock_guard lock(socket_mutex_);
  socket_ = socket;
  // An abort that came before the socket existed could not shut it down.
  if (aborted_) platform::ShutdownBoth(socket_);
}

}  // namespace tarn::net
