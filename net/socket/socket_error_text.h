// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace tarn::net {

// The text printed for a Windows Sockets error number; empty for numbers without one.
std::string_view SocketErrorText(int number);

// Windows Sockets numbers that the connection code treats specially.
inline constexpr int kWsaConnectionAborted = 10053;
inline constexpr int kWsaConnectionReset = 10054;
inline constexpr int kWsaShutdown = 10058;
inline constexpr int kWsaWouldBlock = 10035;
inline constexpr int kWsaTimedOut = 10060;
inline constexpr int kWsaAddressInUse = 10048;
inline constexpr int kWsaAddressNotAvailable = 10049;
inline constexpr int kWsaHostNotFound = 11001;

// The peer or the system ended the connection: the socket is useless afterwards.
inline bool IsConnectionLost(int number) {
  return number == kWsaConnectionAborted || number == kWsaConnectionReset || number == kWsaShutdown;
}

}  // namespace tarn::net
