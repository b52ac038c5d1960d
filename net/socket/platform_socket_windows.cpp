// SPDX-License-Identifier: MIT
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <new>

#include "net/socket/platform_socket.h"
#include "net/socket/socket_errors.h"

namespace tarn::net::platform {

// Winsock cannot wake a thread waiting in select or recv from another thread without closing
// the socket. So every socket is non-blocking and tied to an event that says when it may be
// ready, and every wait also watches `wake`, which ShutdownBoth sets for good. `blocking` only
// says whether Send waits for room.
struct WindowsSocket {
  SOCKET socket = INVALID_SOCKET;
  WSAEVENT ready = WSA_INVALID_EVENT;
  WSAEVENT wake = WSA_INVALID_EVENT;
  std::atomic<bool> blocking{true};
  // How the peer's close came, as the close event tells: a reset is no orderly end.
  int close_error = 0;
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr long kNetworkEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;
// The longest single wait that is not "forever"; longer waits go round again.
constexpr DWORD kLongestWait = INFINITE - 1;

enum class Woken { kReady, kTimedOut, kShutDown, kFailed };

// Waits until the socket's events fire, it is shut down, or `deadline` passes; the events
// that fired are stored in `happened` when given.
Woken WaitEvents(WindowsSocket* handle, Clock::time_point deadline,
                 WSANETWORKEVENTS* happened = nullptr) {
  const WSAEVENT events[2] = {handle->wake, handle->ready};
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const auto millis =
        static_cast<DWORD>(std::clamp<int64_t>(left.count(), 0, int64_t{kLongestWait}));
    const DWORD result = WSAWaitForMultipleEvents(2, events, FALSE, millis, FALSE);
    // The lowest signalled event is reported, so a shut-down socket wins over a ready one.
    if (result == WSA_WAIT_EVENT_0) return Woken::kShutDown;
    if (result == WSA_WAIT_EVENT_0 + 1) {
      WSANETWORKEVENTS fired{};
      if (WSAEnumNetworkEvents(handle->socket, handle->ready, &fired) != 0) return Woken::kFailed;
      if (fired.lNetworkEvents & FD_CLOSE) handle->close_error = fired.iErrorCode[FD_CLOSE_BIT];
      if (happened != nullptr) *happened = fired;
      return Woken::kReady;
    }
    if (result != WSA_WAIT_TIMEOUT) return Woken::kFailed;
    if (Clock::now() >= deadline) return Woken::kTimedOut;
  }
}

int SizeForCall(size_t size) { return static_cast<int>(std::min<size_t>(size, INT_MAX)); }

}  // namespace

void StartStack() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw EIdStackInitializationFailed();
}

void ReleaseStack() { WSACleanup(); }

int LookupIPv4(const std::string& host, IPv4Address* address) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  // Winsock's lookup answers with Windows Sockets numbers already (11001 for an unknown host).
  const int result = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0) return result;
  std::memcpy(address->data(), &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr,
              address->size());
  freeaddrinfo(found);
  return 0;
}

int CreateStreamSocket(SocketHandle* handle) {
  auto* made = new (std::nothrow) WindowsSocket;
  if (made == nullptr) return WSAENOBUFS;
  made->socket =
      WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  int error = made->socket == INVALID_SOCKET ? WSAGetLastError() : 0;
  if (error == 0) {
    made->ready = WSACreateEvent();
    made->wake = WSACreateEvent();
    if (made->ready == WSA_INVALID_EVENT || made->wake == WSA_INVALID_EVENT ||
        WSAEventSelect(made->socket, made->ready, kNetworkEvents) != 0) {
      error = WSAGetLastError();
    }
  }
  if (error != 0) {
    Close(made);
    return error;
  }
  *handle = made;
  return 0;
}

int BindAnyAddress(SocketHandle handle) {
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = 0;
  if (bind(handle->socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    return WSAGetLastError();
  }
  return 0;
}

int Connect(SocketHandle handle, const IPv4Address& address, uint16_t port,
            std::chrono::milliseconds limit) {
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  std::memcpy(&remote.sin_addr, address.data(), address.size());
  remote.sin_port = htons(port);
  const Clock::time_point deadline = Clock::now() + limit;
  if (connect(handle->socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0) {
    return 0;
  }
  if (const int error = WSAGetLastError(); error != WSAEWOULDBLOCK) return error;
  for (;;) {
    WSANETWORKEVENTS happened{};
    switch (WaitEvents(handle, deadline, &happened)) {
      case Woken::kTimedOut:
        return WSAETIMEDOUT;
      case Woken::kShutDown:
        return WSAEINTR;
      case Woken::kFailed:
        return WSAGetLastError();
      case Woken::kReady:
        if (happened.lNetworkEvents & FD_CONNECT) return happened.iErrorCode[FD_CONNECT_BIT];
        break;
    }
  }
}

IoResult Receive(SocketHandle handle, char* into, size_t capacity, std::chrono::milliseconds wait) {
  IoResult result;
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    // Try first: while a body streams in, bytes are nearly always there already.
    const int received = recv(handle->socket, into, SizeForCall(capacity), 0);
    if (received > 0) {
      result.count = static_cast<size_t>(received);
      return result;
    }
    if (received == 0) {
      // The end: orderly, or a reset that the close event may still hold unread.
      WSANETWORKEVENTS fired{};
      if (WSAEnumNetworkEvents(handle->socket, handle->ready, &fired) == 0 &&
          (fired.lNetworkEvents & FD_CLOSE)) {
        handle->close_error = fired.iErrorCode[FD_CLOSE_BIT];
      }
      result.error = handle->close_error;
      return result;
    }
    const int error = WSAGetLastError();
    // A socket shut down here reads like a closed one, as on POSIX systems.
    if (error == WSAESHUTDOWN) return result;
    if (error != WSAEWOULDBLOCK) {
      result.error = error;
      return result;
    }
    switch (WaitEvents(handle, deadline)) {
      case Woken::kReady:
        break;
      case Woken::kTimedOut:
        result.timed_out = true;
        return result;
      case Woken::kShutDown:
        return result;
      case Woken::kFailed:
        result.error = WSAGetLastError();
        return result;
    }
  }
}

IoResult Send(SocketHandle handle, const char* bytes, size_t size) {
  IoResult result;
  for (;;) {
    const int sent = send(handle->socket, bytes, SizeForCall(size), 0);
    if (sent >= 0) {
      result.count = static_cast<size_t>(sent);
      return result;
    }
    result.error = WSAGetLastError();
    if (result.error != WSAEWOULDBLOCK || !handle->blocking) return result;
    switch (WaitEvents(handle, Clock::time_point::max())) {
      case Woken::kShutDown:
        result.error = WSAESHUTDOWN;
        return result;
      case Woken::kFailed:
        result.error = WSAGetLastError();
        return result;
      default:
        break;
    }
  }
}

int SetBlocking(SocketHandle handle, bool blocking) {
  handle->blocking = blocking;
  return 0;
}

IoResult WaitReady(SocketHandle handle, bool, std::chrono::milliseconds wait) {
  // Any event counts: callers try their call again, which re-arms the one they wait for.
  IoResult result;
  switch (WaitEvents(handle, Clock::now() + wait)) {
    case Woken::kTimedOut:
      result.timed_out = true;
      break;
    case Woken::kFailed:
      result.error = WSAGetLastError();
      break;
    default:
      break;
  }
  return result;
}

void ShutdownBoth(SocketHandle handle) {
  shutdown(handle->socket, SD_BOTH);
  WSASetEvent(handle->wake);
}

void Close(SocketHandle handle) {
  if (handle->socket != INVALID_SOCKET) {
    shutdown(handle->socket, SD_SEND);
    closesocket(handle->socket);
  }
  if (handle->ready != WSA_INVALID_EVENT) WSACloseEvent(handle->ready);
  if (handle->wake != WSA_INVALID_EVENT) WSACloseEvent(handle->wake);
  delete handle;
}

}  // namespace tarn::net::platform
