// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "net/socket/platform_socket.h"
#include "net/tls/tls_context.h"

#ifdef _WIN32
#include <memory>
#else
#include "net/tls/tls_socket_bio.h"

struct ssl_st;
#endif

namespace tarn::net {

#ifdef _WIN32
struct SchannelSession;
#endif

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

 private:
  void Handshake(const TlsContext& context, std::chrono::steady_clock::time_point deadline);
#ifdef _WIN32
  // Decrypts the next whole record received; false when more bytes are needed for one.
  bool DecryptRecord();
  // Receives more encrypted bytes, waiting until `deadline`; fails as Receive says, or as a
  // handshake does.
  void ReceiveMore(std::chrono::steady_clock::time_point deadline, bool handshake);
  // Sends every byte, waiting at most `stall` each time the socket takes nothing.
  void SendRaw(std::string_view bytes, std::chrono::milliseconds stall);
  // Checks the server's certificate once it has come; `finished`: it must have come by now.
  void CheckCertificateOnce(const TlsContext& context, bool finished);
  [[noreturn]] void ThrowHandshakeFailure(long status);

  std::unique_ptr<SchannelSession> session_;
  platform::SocketHandle socket_;
#else
  // Decrypts what has been received already, never waiting; the count taken.
  size_t ReceiveBuffered(char* into, size_t capacity);
  // Waits until `deadline` for what OpenSSL asked for after a call that returned `result`;
  // throws the failure otherwise, or the timeout when the deadline passes.
  void WaitOrThrow(int result, std::chrono::steady_clock::time_point deadline, bool handshake);
  [[noreturn]] void ThrowFailure(int ssl_error, bool handshake);

  ssl_st* ssl_ = nullptr;
  TlsSocketLink link_;
#endif
  std::string host_;
  bool broken_ = false;  // after a fatal error nothing more may be sent
};

}  // namespace tarn::net
