// SPDX-License-Identifier: MIT
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <string>

#include "net/tls/openssl.h"
#include "net/tls/tls_context.h"
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

TlsContext::TlsContext() : impl_(std::make_unique<Impl>()) {
  ERR_clear_error();
  SSL_CTX*& context = impl_->context;
  context = SSL_CTX_new(TLS_client_method());
  if (context == nullptr || SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1 ||
      SSL_CTX_set_default_verify_paths(context) != 1) {
    throw ETlsHandshakeError("", LastOpenSslReason());
  }
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_read_ahead(context, 1);
  SSL_CTX_set_default_read_buffer_len(context, kTlsReadAhead);
  impl_->socket_method = NewTlsSocketMethod();
  if (impl_->socket_method == nullptr) throw ETlsHandshakeError("", LastOpenSslReason());
}

TlsContext::~TlsContext() = default;

TlsContext::Impl::~Impl() {
  BIO_meth_free(socket_method);
  SSL_CTX_free(context);
}

}  // namespace tarn::net
