// SPDX-License-Identifier: MIT
#pragma once

#include <cerrno>
#include <string_view>

// Winsock has no POSIX numbers for a few of its errors; only POSIX systems read that column.
#ifdef _WIN32
#define TARN_POSIX_ONLY(number) 0
#else
#define TARN_POSIX_ONLY(number) number
#endif

namespace tarn::net {

// A Windows Sockets error number, the text messages print for it, and the system error
// numbers that stand for it on POSIX systems (0: none). One table, so that the mapping and
// the texts cannot drift apart.
struct SocketErrorRow {
  int number;
  std::string_view text;
  int posix = 0;
  int also_posix = 0;
};

inline constexpr SocketErrorRow kSocketErrors[] = {
    {10004, "Interrupted system call.", EINTR},
    {10009, "Bad file number.", EBADF},
    {10013, "Access denied.", EACCES, EPERM},
    {10014, "Bad address.", EFAULT},
    {10022, "Invalid argument.", EINVAL},
    {10024, "Too many open files.", EMFILE, ENFILE},
    {10035, "Operation would block. ", EWOULDBLOCK},
    {10036, "Operation now in progress.", EINPROGRESS},
    {10037, "Operation already in progress.", EALREADY},
    {10038, "Socket operation on non-socket.", ENOTSOCK},
    {10039, "Destination address required.", EDESTADDRREQ},
    {10040, "Message too long.", EMSGSIZE},
    {10041, "Protocol wrong type for socket.", EPROTOTYPE},
    {10042, "Bad protocol option.", ENOPROTOOPT},
    {10043, "Protocol not supported.", EPROTONOSUPPORT},
    {10044, "Socket type not supported.", TARN_POSIX_ONLY(ESOCKTNOSUPPORT)},
    {10045, "Operation not supported on socket.", EOPNOTSUPP},
    {10046, "Protocol family not supported.", TARN_POSIX_ONLY(EPFNOSUPPORT)},
    {10047, "Address family not supported by protocol family.", EAFNOSUPPORT},
    {10048, "Address already in use.", EADDRINUSE},
    {10049, "Cannot assign requested address.", EADDRNOTAVAIL},
    {10050, "Network is down.", ENETDOWN},
    {10051, "Network is unreachable.", ENETUNREACH},
    {10052, "Net dropped connection or reset.", ENETRESET},
    {10053, "Software caused connection abort.", ECONNABORTED},
    {10054, "Connection reset by peer.", ECONNRESET},
    {10055, "No buffer space available.", ENOBUFS, ENOMEM},
    {10056, "Socket is already connected.", EISCONN},
    {10057, "Socket is not connected.", ENOTCONN},
    // Our side or the peer has closed: the Windows "shut down" case.
    {10058, "Cannot send or receive after socket is closed.", TARN_POSIX_ONLY(ESHUTDOWN), EPIPE},
    {10059, "Too many references, cannot splice.", TARN_POSIX_ONLY(ETOOMANYREFS)},
    {10060, "Connection timed out.", ETIMEDOUT},
    {10061, "Connection refused.", ECONNREFUSED},
    {10062, "Too many levels of symbolic links.", ELOOP},
    {10063, "File name too long.", ENAMETOOLONG},
    {10064, "Host is down.", TARN_POSIX_ONLY(EHOSTDOWN)},
    {10065, "No route to host.", EHOSTUNREACH},
    {10066, "Directory not empty", ENOTEMPTY},
    {11001, "Host not found.", 0},
};

}  // namespace tarn::net
