// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

namespace tarn::net {

// What every encrypted connection of one client shares: TLS 1.2 or newer, the server's chain
// checked against the system's trust (OpenSSL's default trust paths, which its SSL_CERT_FILE
// and SSL_CERT_DIR variables name; on Windows, Schannel and the Windows store, plus a bundle
// named by SSL_CERT_FILE) and the way TLS reaches our sockets. Nothing turns the checks off.
class TlsContext {
 public:
  // The backend's shared state, defined for its own files in tls/openssl.h or tls/schannel.h.
  struct Impl;

  // Fails with ETlsHandshakeError (host empty) when the TLS library cannot set itself up.
  TlsContext();
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;

  const Impl& State() const { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::net
