// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string_view>

#include "net/proxy/proxy_url.h"
#include "net/socket/host_lookup.h"
#include "net/socket/platform_socket.h"
#include "net/stream/byte_source.h"
#include "net/stream/input_reader.h"
#include "net/tls/tls_context.h"
#include "net/tls/tls_session.h"

namespace tarn::net {

// One TCP connection over IPv4 with its input buffer, plain or encrypted: the reads and writes
// look the same either way. Owned and used by one thread; only Abort may come from another.
class SocketConnection final : public ByteSource {
 public:
  SocketConnection();
  ~SocketConnection() override;
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  // Connects to the host and port, closing any earlier socket first, and with `tls` runs the
  // TLS handshake for `host` (see TlsSession). A connect and handshake that have not completed
  // within `connect_limit` fail with EIdSocketError 10060. With `proxy`, connects to it instead
  // and has it reach host and port (a tunnel for TLS); an HTTP proxy without TLS is itself the
  // far end. The proxy's own failures are EProxyError; nothing ever goes around it.
  void Open(std::string_view host, int port, std::chrono::milliseconds connect_limit,
            const TlsContext* tls = nullptr, const ProxyUrl* proxy = nullptr);
  // Says goodbye to a TLS peer, shuts the sending side down and releases the socket; nothing
  // when already closed.
  void Close();
  bool IsOpen() const { return socket_ != platform::kNoSocket; }
  bool IsEncrypted() const { return tls_ != nullptr; }

  InputReader& Input() { return input_; }

  // Waits at most `wait` for bytes, which stay buffered; a peer close, a lost connection or a
  // broken TLS stream found this way closes the connection.
  void Probe(std::chrono::milliseconds wait);

  // Hands every byte to the socket.
  void Write(std::string_view bytes);

  // From any thread: wakes whatever the owner is blocked in and makes this and every later
  // operation fail with EIdException.
  void Abort();

  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds wait) override;

  // Whether Open may reach a loopback, private or link-local address (EAddressRefused).
  void AllowPrivateAddresses(bool allowed) { private_allowed_ = allowed; }
  // Whether the last host opened resolved to such an address.
  bool LastPeerWasPrivate() const { return last_peer_private_; }

 private:
  void ThrowIfAborted() const;
  void Connect(const platform::IPv4Address& address, int port, std::chrono::milliseconds limit);
  void OpenThroughProxy(const ProxyUrl& proxy, std::string_view host, int port, bool tunnel,
                        std::chrono::steady_clock::time_point deadline);
  void Adopt(platform::SocketHandle socket);
  size_t ReceiveEncrypted(char* into, size_t capacity, std::chrono::milliseconds wait);
  void WriteEncrypted(std::string_view bytes);

  platform::SocketHandle socket_ = platform::kNoSocket;
  std::unique_ptr<TlsSession> tls_;
  InputReader input_{*this};
  std::atomic<bool> aborted_{false};
  LookupCancel lookup_cancel_;
  bool private_allowed_ = true;
  bool last_peer_private_ = false;
  // Held while socket_ changes, so that Abort never touches a released socket.
  std::mutex socket_mutex_;
};

}  // namespace tarn::net
