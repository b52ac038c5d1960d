// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string_view>

#include "net/byte_source.h"
#include "net/host_lookup.h"
#include "net/input_reader.h"
#include "net/platform_socket.h"

namespace tarn::net {

// One TCP connection over IPv4 with its input buffer. Owned and used by one thread; only
// Abort may come from another.
class SocketConnection final : public ByteSource {
 public:
  SocketConnection();
  ~SocketConnection() override;
  SocketConnection(const SocketConnection&) = delete;
  SocketConnection& operator=(const SocketConnection&) = delete;

  // Connects to the host and port, closing any earlier socket first. A connect that has not
  // completed within `connect_limit` fails with EIdSocketError 10060.
  void Open(std::string_view host, int port, std::chrono::milliseconds connect_limit);
  // Shuts the sending side down and releases the socket; nothing when already closed.
  void Close();
  bool IsOpen() const { return socket_ != platform::kNoSocket; }

  InputReader& Input() { return input_; }

  // Waits at most `wait` for bytes, which stay buffered; a peer close or a lost connection
  // found this way closes the connection.
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
  void Adopt(platform::SocketHandle socket);

  platform::SocketHandle socket_ = platform::kNoSocket;
  InputReader input_{*this};
  std::atomic<bool> aborted_{false};
  LookupCancel lookup_cancel_;
  bool private_allowed_ = true;
  bool last_peer_private_ = false;
  // Held while socket_ changes, so that Abort never touches a released socket.
  std::mutex socket_mutex_;
};

}  // namespace tarn::net
