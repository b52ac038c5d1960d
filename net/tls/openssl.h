// SPDX-License-Identifier: MIT
#pragma once

// OpenSSL only: what the OpenSSL files share.
#include "net/tls/tls_context.h"

struct ssl_ctx_st;
struct bio_method_st;

namespace tarn::net {

struct TlsContext::Impl {
  ssl_ctx_st* context = nullptr;
  // Reads and writes through the platform socket calls, so that a send to a closed peer
  // never raises a signal.
  bio_method_st* socket_method = nullptr;

  ~Impl();
};

}  // namespace tarn::net
