// SPDX-License-Identifier: MIT
#include "net/socket/socket_errors.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <netdb.h>
#endif

#include <cerrno>
#include <set>
#include <type_traits>

#include "net/http/http_errors.h"
#include "net/socket/platform_socket.h"
#include "net/socket/socket_error_table.h"
#include "net/socket/socket_error_text.h"

namespace tarn::net {
namespace {

template <typename Base, typename Derived>
constexpr bool kDerives = std::is_base_of_v<Base, Derived>;

static_assert(kDerives<Exception, EIdException>);
static_assert(kDerives<EIdSilentException, EIdConnClosedGracefully>);
static_assert(kDerives<EIdException, EIdSocketError>);
static_assert(kDerives<EIdException, EIdReadTimeout>);
static_assert(kDerives<EIdException, EIdReadLnMaxLineLengthExceeded>);
static_assert(kDerives<EIdTCPConnectionError, EIdNotConnected>);
static_assert(kDerives<EIdException, EIdInvalidSocket>);
static_assert(kDerives<EIdSocketHandleError, EIdCouldNotBindSocket>);
static_assert(kDerives<EIdStackError, EIdStackInitializationFailed>);
static_assert(kDerives<EIdException, EIdWS2StubError>);
static_assert(kDerives<EIdProtocolReplyError, EIdHTTPProtocolException>);
static_assert(kDerives<EIdTCPConnectionError, EIdIOHandlerPropInvalid>);
static_assert(kDerives<EIdException, EIdUnknownProtocol>);
// The grouping kinds are never raised themselves.
static_assert(!std::is_constructible_v<EIdSilentException, std::string>);
static_assert(!std::is_constructible_v<EIdTCPConnectionError, std::string>);
static_assert(!std::is_constructible_v<EIdProtocolReplyError, std::string>);

TEST(SocketErrors, FixedMessages) {
  EXPECT_EQ(EIdConnClosedGracefully().Message(), "Connection Closed Gracefully.");
  EXPECT_EQ(EIdReadTimeout().Message(), "Read Timeout");
  EXPECT_EQ(EIdReadLnMaxLineLengthExceeded().Message(), "Max line length exceeded.");
  EXPECT_EQ(EIdNotConnected().Message(), "Not Connected");
  EXPECT_EQ(EIdInvalidSocket().Message(), "Cannot allocate socket.");
  EXPECT_EQ(EIdCouldNotBindSocket().Message(),
            "Could not bind socket. Address and port are already in use.");
  EXPECT_EQ(EIdStackInitializationFailed().Message(), "Winsock Initialization Error.");
  EXPECT_EQ(EIdWS2StubError::LibraryNotLoaded("WS2_32.DLL").Message(),
            "Error on loading Winsock2 library (WS2_32.DLL)");
  EXPECT_EQ(EIdWS2StubError::FunctionBeforeLoad("recv").Message(),
            "Error on call Winsock2 library function recv");
  EXPECT_EQ(EIdIOHandlerPropInvalid().Message(), "IOHandler value is not valid");
  EXPECT_EQ(EIdUnknownProtocol().Message(), "");
}

TEST(SocketErrors, SocketErrorCarriesNumberAndText) {
  const EIdSocketError refused(10061);
  EXPECT_EQ(refused.Number(), 10061);
  EXPECT_EQ(refused.Message(), "Socket Error # 10061\r\nConnection refused.");
  EXPECT_EQ(EIdSocketError(11001).Message(), "Socket Error # 11001\r\nHost not found.");
  EXPECT_EQ(EIdSocketError(10035).Message(), "Socket Error # 10035\r\nOperation would block. ");
  EXPECT_EQ(EIdSocketError(10066).Message(), "Socket Error # 10066\r\nDirectory not empty");
  EXPECT_EQ(EIdSocketError(11002).Message(), "Socket Error # 11002\r\n");
}

TEST(SocketErrors, ProtocolExceptionCarriesCodeStatusLineAndBody) {
  const EIdHTTPProtocolException error(404, "HTTP/1.1 404 Not Found", "<p>gone</p>");
  EXPECT_EQ(error.ErrorCode(), 404);
  EXPECT_EQ(error.Message(), "HTTP/1.1 404 Not Found");
  EXPECT_EQ(error.ErrorMessage(), "<p>gone</p>");
}

// Winsock reports Windows Sockets numbers itself; POSIX systems map theirs.
#ifndef _WIN32
TEST(SocketErrors, SystemErrorsMapToWindowsSocketsNumbers) {
  using platform::SocketErrorFromErrno;
  EXPECT_EQ(SocketErrorFromErrno(ECONNREFUSED), 10061);
  EXPECT_EQ(SocketErrorFromErrno(ETIMEDOUT), 10060);
  EXPECT_EQ(SocketErrorFromErrno(EHOSTUNREACH), 10065);
  EXPECT_EQ(SocketErrorFromErrno(ENETUNREACH), 10051);
  EXPECT_EQ(SocketErrorFromErrno(ECONNRESET), 10054);
  EXPECT_EQ(SocketErrorFromErrno(ECONNABORTED), 10053);
  EXPECT_EQ(SocketErrorFromErrno(EPIPE), 10058);
  EXPECT_EQ(SocketErrorFromErrno(EADDRINUSE), 10048);
  EXPECT_EQ(SocketErrorFromErrno(EMFILE), 10024);
  EXPECT_TRUE(IsConnectionLost(SocketErrorFromErrno(EPIPE)));
  EXPECT_FALSE(IsConnectionLost(SocketErrorFromErrno(ETIMEDOUT)));
}

#endif

// One row per number and per system error: a second row would never be reached.
TEST(SocketErrors, TheTableHoldsEachNumberAndEachSystemErrorOnce) {
  std::set<int> numbers, posix;
  for (const SocketErrorRow& row : kSocketErrors) {
    EXPECT_TRUE(numbers.insert(row.number).second) << row.number;
    EXPECT_FALSE(row.text.empty()) << row.number;
    EXPECT_EQ(SocketErrorText(row.number), row.text);
#ifndef _WIN32
    for (const int error : {row.posix, row.also_posix}) {
      if (error == 0) continue;
      EXPECT_TRUE(posix.insert(error).second) << error;
      EXPECT_EQ(platform::SocketErrorFromErrno(error), row.number);
    }
#endif
  }
  EXPECT_EQ(SocketErrorText(10999), "");
#ifndef _WIN32
  EXPECT_EQ(platform::SocketErrorFromErrno(0), 0);
  EXPECT_EQ(platform::SocketErrorFromErrno(EDOM), EDOM);  // unknown: passed on as it is
#endif
}

#ifndef _WIN32
TEST(SocketErrors, LookupFailuresMapToWindowsSocketsNumbers) {
  using platform::SocketErrorFromLookup;
  EXPECT_EQ(SocketErrorFromLookup(EAI_NONAME, 0), 11001);
  EXPECT_EQ(SocketErrorFromLookup(EAI_AGAIN, 0), 11002);
  EXPECT_EQ(SocketErrorFromLookup(EAI_FAIL, 0), 11003);
  EXPECT_EQ(SocketErrorFromLookup(EAI_SYSTEM, ECONNREFUSED), 10061);
}
#endif

}  // namespace
}  // namespace tarn::net
