// SPDX-License-Identifier: MIT
#pragma once

// The socket calls of the scripted servers, alike on POSIX systems and on Windows. Handles
// are kept as int there too: Winsock's are small numbers.
#include <sys/types.h>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace tarn::testing {

#ifdef _WIN32
inline constexpr int kSendFlags = 0;
inline constexpr int kShutWrite = SD_SEND;
#else
// A send to a peer that has gone must fail, not raise SIGPIPE.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
inline constexpr int kShutWrite = SHUT_WR;
#endif

// Winsock wants a start before any call; the first server started makes it.
void StartTestSockets();
int OpenTestSocket();
int AcceptTestSocket(int listener);
void CloseTestSocket(int socket);
void SetTestSocketNonBlocking(int socket);
int PollTestSocket(int socket, short events, int wait_millis);

}  // namespace tarn::testing
