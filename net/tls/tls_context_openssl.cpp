// SPDX-License-Identifier: MIT
#include "net/tls/tls_context.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <string>

#include "net/tls/tls_errors.h"
#include "net/tls/tls_socket_bio.h"

namespace tarn::net {
namespace {

// Bytes OpenSSL reads from the socket at once: a few records per call instead of one.
constexpr size_t kTlsReadAhead = 64 * 1024;

std::string LastOpenSslReason() {
  const char* reason = ERR_reason_error_string(ERR_peek_last_error());
  ERR_clear_error();
  return reason != nullptr ? reason : "OpenSSL";
}

}  // namespace

TlsContext::TlsContext() {
  ERR_clear_error();
  context_ = SSL_CTX_new(TLS_client_method());
  if (context_ == nullptr || SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION) != 1 ||
      SSL_CTX_set_default_verify_paths(context_) != 1) {
    const std::string reason = LastOpenSslReason();
    SSL_CTX_free(context_);
    throw ETlsHandshakeError("", reason);
  }
  SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_read_ahead(context_, 1);
  SSL_CTX_set_default_read_buffer_len(context_, kTlsReadAhead);
  socket_method_ = NewTlsSocketMethod();
  if (socket_method_ == nullptr) {
    const std::string reason = LastOpenSslReason();
    SSL_CTX_free(context_);
    throw ETlsHandshakeError("", reason);
  }
}

TlsContext::~TlsContext() {
  BIO_meth_free(socket_method_);
  SSL_CTX_free(context_);
}

}  // namespace tarn::net
