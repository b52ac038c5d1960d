// SPDX-License-Identifier: MIT
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <climits>
#include <string>

#include "net/socket/socket_error_text.h"
#include "net/tls/openssl.h"
#include "net/tls/tls_errors.h"
#include "net/tls/tls_session.h"
#include "net/tls/tls_socket_bio.h"

namespace tarn::net {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds Left(Clock::time_point deadline) {
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                  std::chrono::milliseconds(0));
}

std::string ReasonText(unsigned long code) {
  const char* reason = ERR_reason_error_string(code);
  return reason != nullptr ? reason : "error " + std::to_string(ERR_GET_REASON(code));
}

}  // namespace

// OpenSSL's side of one session: its SSL object over the socket link.
struct TlsSession::Impl {
  Impl(const TlsContext& context, platform::SocketHandle socket, std::string_view host,
       std::chrono::milliseconds limit);
  ~Impl();
  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds wait);
  void Send(std::string_view bytes, std::chrono::milliseconds wait);
  void NotifyClose();

  void Handshake(const TlsContext& context, std::chrono::steady_clock::time_point deadline);
  // Decrypts what has been received already, never waiting; the count taken.
  size_t ReceiveBuffered(char* into, size_t capacity);
  // Waits until `deadline` for what OpenSSL asked for after a call that returned `result`;
  // throws the failure otherwise, or the timeout when the deadline passes.
  void WaitOrThrow(int result, std::chrono::steady_clock::time_point deadline, bool handshake);
  [[noreturn]] void ThrowFailure(int ssl_error, bool handshake);

  ssl_st* ssl_ = nullptr;
  TlsSocketLink link_;
  std::string host_;
  bool broken_ = false;  // after a fatal error nothing more may be sent
};

TlsSession::Impl::Impl(const TlsContext& context, platform::SocketHandle socket,
                       std::string_view host, std::chrono::milliseconds limit)
    : host_(host) {
  link_.socket = socket;
  try {
    Handshake(context, Clock::now() + limit);
  } catch (...) {
    SSL_free(ssl_);  // the destructor does not run for a session never made
    throw;
  }
}

void TlsSession::Impl::Handshake(const TlsContext& context, Clock::time_point deadline) {
  ERR_clear_error();
  if (const int error = platform::SetBlocking(link_.socket, false)) throw EIdSocketError(error);
  ssl_ = SSL_new(context.State().context);
  BIO* bio = ssl_ != nullptr ? BIO_new(context.State().socket_method) : nullptr;
  if (bio == nullptr) {
    broken_ = true;
    ThrowFailure(SSL_ERROR_SSL, true);
  }
  BIO_set_data(bio, &link_);
  SSL_set_bio(ssl_, bio, bio);
  X509_VERIFY_PARAM* checks = SSL_get0_param(ssl_);
  X509_VERIFY_PARAM_set_hostflags(checks, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  // An IP address is checked against the certificate's addresses and is never sent as SNI.
  if (X509_VERIFY_PARAM_set1_ip_asc(checks, host_.c_str()) != 1) {
    ERR_clear_error();
    if (X509_VERIFY_PARAM_set1_host(checks, host_.c_str(), host_.size()) != 1 ||
        SSL_set_tlsext_host_name(ssl_, host_.c_str()) != 1) {
      broken_ = true;
      ThrowFailure(SSL_ERROR_SSL, true);
    }
  }
  for (;;) {
    ERR_clear_error();
    const int result = SSL_connect(ssl_);
    if (result == 1) return;
    WaitOrThrow(result, deadline, true);
  }
}

TlsSession::Impl::~Impl() { SSL_free(ssl_); }

size_t TlsSession::Impl::Receive(char* into, size_t capacity, std::chrono::milliseconds wait) {
  const Clock::time_point deadline = Clock::now() + wait;
  const size_t size = std::min<size_t>(capacity, INT_MAX);
  for (;;) {
    ERR_clear_error();
    const int result = SSL_read(ssl_, into, static_cast<int>(size));
    if (result > 0) {
      return static_cast<size_t>(result) + ReceiveBuffered(into + result, size - result);
    }
    if (SSL_get_error(ssl_, result) == SSL_ERROR_ZERO_RETURN) return 0;
    WaitOrThrow(result, deadline, false);
  }
}

size_t TlsSession::Impl::ReceiveBuffered(char* into, size_t capacity) {
  // One record is at most 16 KiB; records already read from the socket fill the rest of the
  // piece without another wait. Whatever stops this shows again at the next Receive.
  size_t taken = 0;
  while (taken < capacity && SSL_has_pending(ssl_)) {
    ERR_clear_error();
    const int result = SSL_read(ssl_, into + taken, static_cast<int>(capacity - taken));
    if (result <= 0) break;
    taken += static_cast<size_t>(result);
  }
  ERR_clear_error();
  return taken;
}

void TlsSession::Impl::Send(std::string_view bytes, std::chrono::milliseconds wait) {
  while (!bytes.empty()) {
    const Clock::time_point deadline = Clock::now() + wait;
    ERR_clear_error();
    const int size = static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX));
    const int result = SSL_write(ssl_, bytes.data(), size);
    if (result > 0) {
      bytes.remove_prefix(static_cast<size_t>(result));
      continue;
    }
    WaitOrThrow(result, deadline, false);
  }
}

void TlsSession::Impl::NotifyClose() {
  if (broken_ || !SSL_is_init_finished(ssl_)) return;
  ERR_clear_error();
  SSL_shutdown(ssl_);
  ERR_clear_error();
}

void TlsSession::Impl::WaitOrThrow(int result, Clock::time_point deadline, bool handshake) {
  const int ssl_error = SSL_get_error(ssl_, result);
  if (ssl_error != SSL_ERROR_WANT_READ && ssl_error != SSL_ERROR_WANT_WRITE) {
    broken_ = true;
    ThrowFailure(ssl_error, handshake);
  }
  const platform::IoResult ready =
      platform::WaitReady(link_.socket, ssl_error == SSL_ERROR_WANT_WRITE, Left(deadline));
  if (ready.error != 0) throw EIdSocketError(ready.error);
  if (!ready.timed_out) return;
  // A handshake counts under the connect bound and fails like a connect; a read like a read.
  if (handshake || ssl_error == SSL_ERROR_WANT_WRITE) {
    broken_ = true;
    throw EIdSocketError(kWsaTimedOut);
  }
  throw EIdReadTimeout();
}

void TlsSession::Impl::ThrowFailure(int ssl_error, bool handshake) {
  const unsigned long code = ERR_peek_last_error();
  ERR_clear_error();
  if (link_.error != 0) throw EIdSocketError(link_.error);
  const bool peer_gone = ssl_error == SSL_ERROR_SYSCALL ||
                         (ERR_GET_LIB(code) == ERR_LIB_SSL &&
                          ERR_GET_REASON(code) == SSL_R_UNEXPECTED_EOF_WHILE_READING);
  if (handshake) {
    if (ssl_ != nullptr) {
      const long verdict = SSL_get_verify_result(ssl_);
      if (verdict != X509_V_OK) {
        throw ETlsCertificateError(host_, X509_verify_cert_error_string(verdict));
      }
    }
    // A server that hangs up before it has said anything is a network failure, not a refusal.
    if (peer_gone) throw EIdConnClosedGracefully();
    throw ETlsHandshakeError(host_, code != 0 ? ReasonText(code) : "OpenSSL");
  }
  if (peer_gone) throw ETlsPeerClosedMidRecord(host_);
  throw ETlsStreamError(host_, code != 0 ? ReasonText(code) : "OpenSSL");
}

TlsSession::TlsSession(const TlsContext& context, platform::SocketHandle socket,
                       std::string_view host, std::chrono::milliseconds limit)
    : impl_(std::make_unique<Impl>(context, socket, host, limit)) {}

TlsSession::~TlsSession() = default;

size_t TlsSession::Receive(char* into, size_t capacity, std::chrono::milliseconds wait) {
  return impl_->Receive(into, capacity, wait);
}

void TlsSession::Send(std::string_view bytes, std::chrono::milliseconds wait) {
  impl_->Send(bytes, wait);
}

void TlsSession::NotifyClose() { impl_->NotifyClose(); }

bool TlsSession::HasBuffered() const { return SSL_has_pending(impl_->ssl_) == 1; }

}  // namespace tarn::net
