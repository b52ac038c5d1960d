// SPDX-License-Identifier: MIT
#pragma once

struct ssl_ctx_st;
struct bio_method_st;

namespace tarn::net {

// What every encrypted connection of one client shares: TLS 1.2 or newer, the server's chain
// checked against OpenSSL's default trust paths (its SSL_CERT_FILE and SSL_CERT_DIR variables
// name others) and the way OpenSSL reaches our sockets. Nothing turns the checks off.
class TlsContext {
 public:
  // Fails with ETlsHandshakeError (host empty) when OpenSSL cannot set itself up.
  TlsContext();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  ssl_ctx_st* Handle() const { return context_; }
  // Reads and writes through the platform socket calls, so that a send to a closed peer
  // never raises a signal.
  const bio_method_st* SocketMethod() const { return socket_method_; }

 private:
  ssl_ctx_st* context_ = nullptr;
  bio_method_st* socket_method_ = nullptr;
};

}  // namespace tarn::net
