// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// The only place that knows the system's socket calls. Every failure comes back as a
// Windows Sockets error number so that messages read the same on every platform.
namespace tarn::net::platform {

// The four numbers of an IPv4 address, most significant first.
using IPv4Address = std::array<uint8_t, 4>;

#ifdef _WIN32
// A Winsock socket with the events its waits and its wake-up use.
struct WindowsSocket;
using SocketHandle = WindowsSocket*;
inline constexpr SocketHandle kNoSocket = nullptr;
#else
using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;
#endif

// Process-wide start and release of the system's socket library; a start that fails raises
// EIdStackInitializationFailed.
void StartStack();
void ReleaseStack();

// Looks a host name up: stores the first IPv4 address found, or returns an error number.
int LookupIPv4(const std::string& host, IPv4Address* address);

// Each returns 0 on success or the error number.
int CreateStreamSocket(SocketHandle* handle);
int BindAnyAddress(SocketHandle handle);
// A connect that has not completed within `limit` fails with 10060.
int Connect(SocketHandle handle, const IPv4Address& address, uint16_t port,
            std::chrono::milliseconds limit);

struct IoResult {
  size_t count = 0;        // bytes moved; 0 from a receive means the peer has closed
  int error = 0;           // error number, or 0
  bool timed_out = false;  // nothing arrived within the wait
};

// Waits at most `wait` for bytes, then receives up to `capacity` of them.
IoResult Receive(SocketHandle handle, char* into, size_t capacity, std::chrono::milliseconds wait);
// One send call; writing to a closed peer never raises a signal.
IoResult Send(SocketHandle handle, const char* bytes, size_t size);

// Switches the socket between blocking and non-blocking calls; 0 or the error number.
int SetBlocking(SocketHandle handle, bool blocking);
// Waits at most `wait` until the socket can be read (or written, `for_writing`); a socket shut
// down or closed by the peer counts as ready. `count` stays 0.
IoResult WaitReady(SocketHandle handle, bool for_writing, std::chrono::milliseconds wait);

// Wakes every call blocked on the socket, from any thread; the socket stays allocated.
void ShutdownBoth(SocketHandle handle);
// Shuts the sending side down, then releases the socket.
void Close(SocketHandle handle);

#ifndef _WIN32
// Error-number mapping, exposed for tests.
int SocketErrorFromErrno(int error);
int SocketErrorFromLookup(int lookup_error, int error);
#endif

}  // namespace tarn::net::platform
