// SPDX-License-Identifier: MIT
#include "support/test_sockets.h"

namespace tarn::testing {

#ifdef _WIN32
void StartTestSockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

int OpenTestSocket() {
  StartTestSockets();
  const SOCKET made = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  return made == INVALID_SOCKET ? -1 : static_cast<int>(made);
}

int AcceptTestSocket(int listener) {
  const SOCKET accepted = accept(static_cast<SOCKET>(listener), nullptr, nullptr);
  return accepted == INVALID_SOCKET ? -1 : static_cast<int>(accepted);
}

void CloseTestSocket(int socket) { closesocket(static_cast<SOCKET>(socket)); }

void SetTestSocketNonBlocking(int socket) {
  u_long on = 1;
  ioctlsocket(static_cast<SOCKET>(socket), FIONBIO, &on);
}

int PollTestSocket(int socket, short events, int wait_millis) {
  // select, since Wine's WSAPoll at times fails on a listening socket.
  fd_set wanted;
  FD_ZERO(&wanted);
  FD_SET(static_cast<SOCKET>(socket), &wanted);
  timeval wait{wait_millis / 1000, wait_millis % 1000 * 1000};
  return (events & POLLOUT) ? select(0, nullptr, &wanted, nullptr, &wait)
                            : select(0, &wanted, nullptr, nullptr, &wait);
}
#else
void StartTestSockets() {}

int OpenTestSocket() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }

int AcceptTestSocket(int listener) { return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }

void CloseTestSocket(int socket) { ::close(socket); }

void SetTestSocketNonBlocking(int socket) { ::fcntl(socket, F_SETFL, O_NONBLOCK); }

int PollTestSocket(int socket, short events, int wait_millis) {
  pollfd entry{socket, events, 0};
  return ::poll(&entry, 1, wait_millis);
}
#endif

}  // namespace tarn::testing
