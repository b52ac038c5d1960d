// SPDX-License-Identifier: MIT
// Addresses that pages hand the client (next-page links, photo addresses) with line breaks in
// them: the request is refused before any connection, so no header of the page's making
// reaches a server, and the client goes on working.
#include <gtest/gtest.h>

#include <string>

#include "net/http/http_client.h"
#include "support/loopback_server.h"

namespace tarn::net {
namespace {

using namespace testing;
using std::chrono::milliseconds;

TEST(HostileAddress, LineBreakInAnAddressIsRefusedBeforeConnecting) {
  LoopbackServer server({{ReadRequest(), Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"),
                          AwaitClientClose()}});
  HttpTimeouts timeouts;
  timeouts.connect = milliseconds(5000);
  timeouts.idle_read = milliseconds(5000);
  {
    HttpClient client(timeouts);
    for (const std::string& address :
         {server.Url("/p.jpg HTTP/1.1\r\nHost: elsewhere\r\n\r\nGET /x"), server.Url("/a\nb"),
          std::string("http://127.0.0.1\r\nX-Injected: 1/")}) {
      try {
        client.FetchText(address);
        ADD_FAILURE() << "fetched " << address;
      } catch (const EIdException& error) {
        EXPECT_EQ(error.Message(), "Address holds a line break.");
      }
    }
    EXPECT_EQ(client.FetchText(server.Url("/p.jpg")), "ok");
  }
  server.Finish();
  EXPECT_TRUE(server.Problems().empty()) << server.Problems().front();
  EXPECT_EQ(server.ExtraConnections(), 0);
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(server.Requests()[0].starts_with("GET /p.jpg HTTP/1.1\r\n"));
}

}  // namespace
}  // namespace tarn::net
