// SPDX-License-Identifier: MIT
#include "download/sign_in_check.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/tls_script_server.h"

namespace tarn {
namespace {

using net::testing::TlsScriptServer;
using Outcome = SignInCheck::Outcome;

net::UserCookie Cookie(std::string name, std::string value) {
  return {"127.0.0.1", false, "/", true, 0, std::move(name), std::move(value), false};
}

TEST(SignInCheck, TheAnswerToMineSaysWhatTheSignInIsWorth) {
  const struct {
    const char* answer;  // as JSON text
    Outcome outcome;
    const char* message;
  } cases[] = {
      {R"(HTTP/1.1 200 OK\r\nContent-Length: 33\r\n\r\n<title>\n Lake &amp; Hill\n</title>)",
       Outcome::kSignedIn, "已登录：Lake & Hill（用户 51234567）"},
      {R"(HTTP/1.1 302 Found\r\nLocation: https://accounts.douban.com/passport/login?redir=x\r\n)"
       R"(Content-Length: 0\r\n\r\n)",
       Outcome::kExpired, nullptr},
      {R"(HTTP/1.1 302 Found\r\nLocation: https://sec.douban.com/c?r=1\r\nContent-Length: 0\r\n\r\n)",
       Outcome::kRefused, "豆瓣拒绝了这次检查（HTTP 302）。请过一段时间（几个小时）再试。"},
      {R"(HTTP/1.1 302 Found\r\nLocation: https://www.douban.com/misc/sorry?original-url=x\r\n)"
       R"(Content-Length: 0\r\n\r\n)",
       Outcome::kRefused, nullptr},
      {R"(HTTP/1.1 418 I'm a teapot\r\nContent-Length: 0\r\n\r\n)", Outcome::kRefused, nullptr},
      {R"(HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n)", Outcome::kFailed,
       "无法检查登录：HTTP/1.1 500 Oops"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    TlsScriptServer server(R"([[["tls", "server"], ["read"], ["send", ")" + std::string(c.answer) +
                           R"("], ["await_close"]]])");
    ASSERT_TRUE(server.Ready());
    const std::string host = "127.0.0.1:" + std::to_string(server.Port());
    const net::SignIn sign_in{{Cookie("dbcl2", "\"51234567:secret\""), Cookie("ck", "c")},
                              {{"127.0.0.1", server.Port()}}};
    net::HttpTimeouts timeouts;
    timeouts.idle_read = std::chrono::seconds(5);  // a wrong script fails soon
    const SignInCheck check = CheckSignIn(sign_in, host, ServiceSettings{}, {}, timeouts);
    server.Finish();
    EXPECT_EQ(check.outcome, c.outcome) << SignInCheckMessage(check);
    if (c.message != nullptr) {
      EXPECT_EQ(SignInCheckMessage(check), c.message);
    }
    const std::string request = server.Requests(0).at(0);
    EXPECT_TRUE(request.starts_with("GET /mine/ HTTP/1.1\r\n"));  // never the cookie in a failure
    EXPECT_NE(request.find("\r\nCookie: ck=c; dbcl2=\"51234567:secret\"\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nReferer: https://" + host + "/\r\n"), std::string::npos);
    EXPECT_NE(request.find("\r\nUser-Agent: Mozilla/5.0 (Windows"), std::string::npos);
  }
}

TEST(SignInCheck, ThePersonIdIsTheNumberBeforeTheColonOfDbcl2) {
  const struct {
    const char* value;
    const char* id;
  } cases[] = {
      {"\"51234567:AbC\"", "51234567"},
      {"51234567:AbC", "51234567"},
      {"\"51234567\"", ""},
      {"\"5123x:AbC\"", ""},
      {"\":AbC\"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(PersonIdOf({Cookie("dbcl2", c.value)}), c.id) << c.value;
  EXPECT_EQ(PersonIdOf({Cookie("DBCL2", "1:a")}), "");
}

}  // namespace
}  // namespace tarn
