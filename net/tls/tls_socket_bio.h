// SPDX-License-Identifier: MIT
#pragma once

#include "net/socket/platform_socket.h"

struct bio_method_st;

namespace tarn::net {

// The socket beneath one TLS session as its BIO sees it, with the last failure of a socket
// call (a Windows Sockets number, 0 when the peer simply closed).
struct TlsSocketLink {
  platform::SocketHandle socket = platform::kNoSocket;
  int error = 0;
};

// A BIO type over a non-blocking platform socket whose data is a TlsSocketLink. Nullptr when
// OpenSSL cannot make one. Freed with BIO_meth_free.
bio_method_st* NewTlsSocketMethod();

}  // namespace tarn::net
