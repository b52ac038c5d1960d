// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "net/socket/platform_socket.h"
#include "net/socket/socket_error_table.h"

namespace tarn::net::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Polls one socket, restarting after signals with the time that is left.
// Returns the poll result: >0 ready, 0 timed out, <0 failed (errno set).
int PollFor(SocketHandle handle, short events, std::chrono::milliseconds wait) {
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd entry{handle, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

}  // namespace

int SetBlocking(SocketHandle handle, bool blocking) {
  const int flags = fcntl(handle, F_GETFL);
  if (flags < 0) return SocketErrorFromErrno(errno);
  const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
  if (fcntl(handle, F_SETFL, wanted) < 0) return SocketErrorFromErrno(errno);
  return 0;
}

IoResult WaitReady(SocketHandle handle, bool for_writing, std::chrono::milliseconds wait) {
  IoResult result;
  const int ready = PollFor(handle, for_writing ? POLLOUT : POLLIN, wait);
  if (ready < 0) result.error = SocketErrorFromErrno(errno);
  if (ready == 0) result.timed_out = true;
  return result;
}

// POSIX sockets need no start-up or release; the count around these calls still decides them.
void StartStack() {}
void ReleaseStack() {}

int LookupIPv4(const std::string& host, IPv4Address* address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0) return SocketErrorFromLookup(result, errno);
  std::memcpy(address->data(), &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr,
              address->size());
  freeaddrinfo(found);
  return 0;
}

int CreateStreamSocket(SocketHandle* handle) {
  *handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  return *handle < 0 ? SocketErrorFromErrno(errno) : 0;
}

int BindAnyAddress(SocketHandle handle) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (bind(handle, reinterpret_cast<const sockaddr*>(&local), sizeof local) < 0) {
    return SocketErrorFromErrno(errno);
  }
  return 0;
}

int Connect(SocketHandle handle, const IPv4Address& address, uint16_t port,
            std::chrono::milliseconds limit) {
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  std::memcpy(&remote.sin_addr, address.data(), address.size());
  remote.sin_port = htons(port);
  // Non-blocking only for the connect itself, so that it can be bounded.
  if (const int error = SetBlocking(handle, false)) return error;
  if (connect(handle, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) < 0) {
    if (errno != EINPROGRESS) return SocketErrorFromErrno(errno);
    const int ready = PollFor(handle, POLLOUT, limit);
    if (ready < 0) return SocketErrorFromErrno(errno);
    if (ready == 0) return SocketErrorFromErrno(ETIMEDOUT);
    int pending = 0;
    socklen_t size = sizeof pending;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &pending, &size) < 0) {
      return SocketErrorFromErrno(errno);
    }
    if (pending != 0) return SocketErrorFromErrno(pending);
  }
  return SetBlocking(handle, true);
}

IoResult Receive(SocketHandle handle, char* into, size_t capacity, std::chrono::milliseconds wait) {
  IoResult result;
  bool waited = false;
  for (;;) {
    // Try first: while a body streams in, bytes are nearly always there already.
    const ssize_t received = recv(handle, into, capacity, MSG_DONTWAIT);
    if (received >= 0) {
      result.count = static_cast<size_t>(received);
      return result;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      result.error = SocketErrorFromErrno(errno);
      return result;
    }
    if (waited) continue;  // woken without data (spurious): receive again
    // The receive has just said there is nothing; a poll that may not wait would say it again.
    if (wait.count() <= 0) {
      result.timed_out = true;
      return result;
    }
    const int ready = PollFor(handle, POLLIN, wait);
    if (ready < 0) {
      result.error = SocketErrorFromErrno(errno);
      return result;
    }
    if (ready == 0) {
      result.timed_out = true;
      return result;
    }
    waited = true;
  }
}

IoResult Send(SocketHandle handle, const char* bytes, size_t size) {
  IoResult result;
  for (;;) {
    const ssize_t sent = send(handle, bytes, size, MSG_NOSIGNAL);
    if (sent >= 0) {
      result.count = static_cast<size_t>(sent);
      return result;
    }
    if (errno != EINTR) {
      result.error = SocketErrorFromErrno(errno);
      return result;
    }
  }
}

void ShutdownBoth(SocketHandle handle) { shutdown(handle, SHUT_RDWR); }

void Close(SocketHandle handle) {
  shutdown(handle, SHUT_WR);
  close(handle);
}

int SocketErrorFromErrno(int error) {
  for (const SocketErrorRow& row : kSocketErrors) {
    if (error != 0 && (row.posix == error || row.also_posix == error)) return row.number;
  }
  return error;
}

int SocketErrorFromLookup(int lookup_error, int error) {
  switch (lookup_error) {
    case EAI_NONAME:
      return 11001;  // host not found
#ifdef EAI_NODATA
    case EAI_NODATA:
      return 11004;  // the name exists but has no address
#endif
    case EAI_AGAIN:
      return 11002;  // temporary failure of the name server
    case EAI_FAMILY:
      return 10047;
    case EAI_MEMORY:
      return 10055;
    case EAI_SYSTEM:
      return SocketErrorFromErrno(error);
    default:
      return 11003;  // unrecoverable lookup failure
  }
}

}  // namespace tarn::net::platform
