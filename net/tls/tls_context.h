// SPDX-License-Identifier: MIT
#pragma once

#ifdef _WIN32
#include <memory>
#else
struct ssl_ctx_st;
struct bio_method_st;
#endif

namespace tarn::net {

#ifdef _WIN32
struct SchannelCredentials;
#endif

// What every encrypted connection of one client shares: TLS 1.2 or newer, the server's chain
// checked against the system's trust (OpenSSL's default trust paths, which its SSL_CERT_FILE
// and SSL_CERT_DIR variables name; on Windows, Schannel and the Windows store, plus a bundle
// named by SSL_CERT_FILE) and the way TLS reaches our sockets. Nothing turns the checks off.
class TlsContext {
 public:
  // Fails with ETlsHandshakeError (host empty) when the TLS library cannot set itself up.
  TlsContext();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

#ifdef _WIN32
  const SchannelCredentials& Credentials() const { return *credentials_; }
#else
  ssl_ctx_st* Handle() const { return context_; }
  // Reads and writes through the platform socket calls, so that a send to a closed peer
  // never raises a signal.
  const bio_method_st* SocketMethod() const { return socket_method_; }
#endif

 private:
#ifdef _WIN32
  std::unique_ptr<SchannelCredentials> credentials_;
#else
  ssl_ctx_st* context_ = nullptr;
  bio_method_st* socket_method_ = nullptr;
#endif
};

}  // namespace tarn::net
