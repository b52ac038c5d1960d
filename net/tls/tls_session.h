// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string_view>

#include "net/socket/platform_socket.h"
#include "net/tls/tls_context.h"

namespace tarn::net {

// One TLS session over a connected socket, which it switches to non-blocking calls: every
// wait is a bounded poll, and a shutdown of the socket from another thread ends it at once.
// Owned and used by one thread; the socket stays the caller's.
class TlsSession {
 public:
  // Runs the handshake within `limit`: the host name goes out as SNI (not an IP address), the
  // chain and the host name or IP address are checked. Fails with ETlsCertificateError,
  // ETlsHandshakeError, EIdConnClosedGracefully when the server hangs up, or EIdSocketError
  // (10060 when `limit` passes first).
  TlsSession(const TlsContext& context, platform::SocketHandle socket, std::string_view host,
             std::chrono::milliseconds limit);
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  // As ByteSource::Receive: 0 after the server's close notify. A connection that ends without
  // it fails with ETlsPeerClosedMidRecord, a broken stream with ETlsStreamError.
  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds wait);
  // Sends every byte, waiting at most `wait` each time the socket takes nothing. Fails with
  // EIdSocketError (10060 after the wait) or ETlsStreamError.
  void Send(std::string_view bytes, std::chrono::milliseconds wait);
  // Sends our close notify if it can go at once; never waits and never fails.
  void NotifyClose();
  // Whether bytes received from the socket wait in the session, decrypted or not: a look at
  // the socket alone would not see them.
  bool HasBuffered() const;

 private:
  // The backend's session, defined in tls_session_openssl.cpp or tls_session_schannel.cpp.
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::net
