// SPDX-License-Identifier: MIT
#include "net/tls/tls_socket_bio.h"

#include <openssl/bio.h>

#include <chrono>

#include "net/socket/socket_error_text.h"

namespace tarn::net {
namespace {

TlsSocketLink& LinkOf(BIO* bio) { return *static_cast<TlsSocketLink*>(BIO_get_data(bio)); }

int ReadSocket(BIO* bio, char* into, int size) {
  BIO_clear_retry_flags(bio);
  TlsSocketLink& link = LinkOf(bio);
  // No wait here: the session waits itself, bounded, when OpenSSL asks for more.
  const platform::IoResult read =
      platform::Receive(link.socket, into, static_cast<size_t>(size), std::chrono::milliseconds(0));
  if (read.timed_out) {
    BIO_set_retry_read(bio);
    return -1;
  }
  if (read.error != 0) {
    link.error = read.error;
    return -1;
  }
  return static_cast<int>(read.count);
}

int WriteSocket(BIO* bio, const char* bytes, int size) {
  BIO_clear_retry_flags(bio);
  TlsSocketLink& link = LinkOf(bio);
  const platform::IoResult sent = platform::Send(link.socket, bytes, static_cast<size_t>(size));
  if (sent.error == kWsaWouldBlock) {
    BIO_set_retry_write(bio);
    return -1;
  }
  if (sent.error != 0) {
    link.error = sent.error;
    return -1;
  }
  return static_cast<int>(sent.count);
}

long Control(BIO*, int command, long, void*) {
  // Writes go straight to the socket, so there is never anything to flush.
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

int Create(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

}  // namespace

bio_method_st* NewTlsSocketMethod() {
  BIO_METHOD* method = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "tarn socket");
  if (method == nullptr) return nullptr;
  BIO_meth_set_read(method, ReadSocket);
  BIO_meth_set_write(method, WriteSocket);
  BIO_meth_set_ctrl(method, Control);
  BIO_meth_set_create(method, Create);
  return method;
}

}  // namespace tarn::net
