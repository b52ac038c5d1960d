// SPDX-License-Identifier: MIT
// The connection against real sockets on 127.0.0.1.
#include "net/socket/socket_connection.h"

#include <gtest/gtest.h>

#include <thread>

#include "net/socket/host_address.h"
#include "net/socket/socket_errors.h"
#include "net/socket/socket_layer.h"
#include "net/stream/memory_stream.h"
#include "support/child_process.h"
#include "support/loopback_server.h"
#include "support/test_sockets.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

constexpr milliseconds kConnectLimit{5000};
constexpr milliseconds kWait{5000};

TEST(HostAddress, DottedNumbersAreReadWithoutLookup) {
  EXPECT_EQ(ParseDottedIPv4("192.168.0.255"), (platform::IPv4Address{192, 168, 0, 255}));
  EXPECT_EQ(ParseDottedIPv4("010.0.0.1"), (platform::IPv4Address{10, 0, 0, 1}));
  EXPECT_FALSE(ParseDottedIPv4("256.0.0.1"));
  EXPECT_FALSE(ParseDottedIPv4("1.2.3"));
  EXPECT_FALSE(ParseDottedIPv4("1.2.3.4.5"));
  EXPECT_FALSE(ParseDottedIPv4("1.2.3.0004"));
  EXPECT_FALSE(ParseDottedIPv4("1.2.3.4x"));
  LookupCancel cancel;
  EXPECT_EQ(ResolveHost("LocalHost", cancel), (platform::IPv4Address{127, 0, 0, 1}));
  EXPECT_THROW(ResolveHost("", cancel), EIdSocketError);
  EXPECT_THROW(ResolveHost("INVALID", cancel), EIdSocketError);
}

TEST(SocketConnection, LocalhostInAnyCaseAndDottedNumbersConnectWithoutLookup) {
  LoopbackServer server({{ReadRequest(), AwaitClientClose()},
                         {ReadRequest(), AwaitClientClose()},
                         {ReadRequest(), AwaitClientClose()}});
  for (const char* host : {"localhost", "LOCALHOST", "127.0.0.1"}) {
    SocketConnection connection;
    connection.Open(host, server.Port(), kConnectLimit);
    EXPECT_TRUE(connection.IsOpen());
    connection.Write(std::string("hello ") + host + "\r\n\r\n");
  }
  server.Finish();
  EXPECT_EQ(server.Requests(),
            (std::vector<std::string>{"hello localhost\r\n\r\n", "hello LOCALHOST\r\n\r\n",
                                      "hello 127.0.0.1\r\n\r\n"}));
  EXPECT_TRUE(server.Problems().empty());
}

TEST(SocketConnection, BytesAfterALineStayBufferedForTheNextRead) {
  LoopbackServer server({{Send("first line\r\nsecond\nrest of it"), CloseConnection()}});
  SocketConnection connection;
  connection.Open("127.0.0.1", server.Port(), kConnectLimit);
  ASSERT_TRUE(server.WaitForScripts(1));
  EXPECT_EQ(connection.Input().ReadLine(kWait), "first line");
  EXPECT_EQ(connection.Input().ReadLine(kWait), "second");
  MemoryStream rest(1024);
  connection.Input().ReadUntilClose(rest, kWait);
  EXPECT_EQ(rest.Take(), "rest of it");
  EXPECT_FALSE(connection.IsOpen());  // the peer's close closed it
}

TEST(SocketConnection, RefusedPort) {
  SocketConnection connection;
  try {
    connection.Open("127.0.0.1", ClosedLoopbackPort(), kConnectLimit);
    FAIL() << "connected";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 10061);
    EXPECT_EQ(error.Message(), "Socket Error # 10061\r\nConnection refused.");
  }
  EXPECT_FALSE(connection.IsOpen());
}

TEST(SocketConnection, UnknownHost) {
  SocketConnection connection;
  try {
    connection.Open("no-such-album.invalid", 80, kConnectLimit);
    FAIL() << "connected";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 11001);
    EXPECT_EQ(error.Message(), "Socket Error # 11001\r\nHost not found.");
  }
  EXPECT_FALSE(connection.IsOpen());
}

TEST(SocketConnection, PortOutsideSixteenBitsIsRefusedNotWrapped) {
  SocketConnection connection;
  try {
    connection.Open("127.0.0.1", 65536 + 80, kConnectLimit);
    FAIL() << "connected";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 10049);
  }
}

TEST(SocketConnection, ConnectThatNeverCompletesIsBounded) {
  // A listener whose accept queue is full drops new handshakes, so a connect hangs.
  const int listener = tarn::testing::OpenTestSocket();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  socklen_t size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  bool hung = false;
  for (int attempt = 0; attempt < 8 && !hung; ++attempt) {
    SocketConnection connection;
    try {
      // This one got into the queue; it stays there and the next one may not.
      connection.Open("127.0.0.1", ntohs(address.sin_port), milliseconds(300));
    } catch (const EIdSocketError& error) {
      EXPECT_EQ(error.Number(), 10060);
      EXPECT_EQ(error.Message(), "Socket Error # 10060\r\nConnection timed out.");
      EXPECT_FALSE(connection.IsOpen());
      hung = true;
    }
  }
  tarn::testing::CloseTestSocket(listener);
  EXPECT_TRUE(hung) << "every connect completed";
}

TEST(SocketConnection, WriteWithoutConnectionOrAfterPeerClose) {
  SocketConnection connection;
  EXPECT_THROW(connection.Write("x"), EIdNotConnected);

  LoopbackServer server({{CloseConnection()}});
  connection.Open("127.0.0.1", server.Port(), kConnectLimit);
  ASSERT_TRUE(server.WaitForScripts(1));
  EXPECT_THROW(connection.Input().ReadLine(kWait), EIdConnClosedGracefully);
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_THROW(connection.Write("x"), EIdConnClosedGracefully);
}

TEST(SocketConnection, WriteToAResetPeerFailsWithoutKillingTheProcess) {
  LoopbackServer server({{ReadRequest(), ResetConnection()}});
  SocketConnection connection;
  connection.Open("127.0.0.1", server.Port(), kConnectLimit);
  connection.Write("GET\r\n\r\n");
  ASSERT_TRUE(server.WaitForScripts(1));
  const std::string block(64 * 1024, 'w');
  int error_number = 0;
  for (int attempt = 0; attempt < 64 && error_number == 0; ++attempt) {
    try {
      connection.Write(block);
    } catch (const EIdSocketError& error) {
      error_number = error.Number();
    }
  }
  EXPECT_TRUE(error_number == 10054 || error_number == 10058) << error_number;
  EXPECT_FALSE(connection.IsOpen());
}

TEST(SocketConnection, ResetClosesTheSocketAndFailsWithItsNumber) {
  if (tarn::testing::UnderWine()) GTEST_SKIP() << "Wine reports a reset as an orderly close";
  LoopbackServer server({{ReadRequest(), ResetConnection()}});
  SocketConnection connection;
  connection.Open("127.0.0.1", server.Port(), kConnectLimit);
  connection.Write("GET\r\n\r\n");
  try {
    connection.Input().ReadLine(kWait);
    FAIL() << "read succeeded";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 10054);
    EXPECT_EQ(error.Message(), "Socket Error # 10054\r\nConnection reset by peer.");
  }
  EXPECT_FALSE(connection.IsOpen());
}

TEST(SocketConnection, AbortFromAnotherThreadEndsABlockedRead) {
  LoopbackServer server({{ReadRequest(), AwaitClientClose()}});
  SocketConnection connection;
  connection.Open("127.0.0.1", server.Port(), kConnectLimit);
  connection.Write("GET\r\n\r\n");
  ASSERT_TRUE(server.WaitForRequests(1));
  std::thread aborter([&] { connection.Abort(); });
  MemoryStream body(64);
  // Without the abort this read would wait out the whole bound.
  EXPECT_THROW(connection.Input().ReadUntilClose(body, milliseconds(60000)), EIdException);
  aborter.join();
  EXPECT_THROW(connection.Open("127.0.0.1", server.Port(), kConnectLimit), EIdException);
  connection.Close();
}

TEST(SocketLayer, CountsLiveHolders) {
  const int before = SocketLayerUse::Count();
  {
    SocketLayerUse first;
    SocketLayerUse second;
    EXPECT_EQ(SocketLayerUse::Count(), before + 2);
  }
  EXPECT_EQ(SocketLayerUse::Count(), before);
}

}  // namespace
}  // namespace tarn::net
