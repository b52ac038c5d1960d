// SPDX-License-Identifier: MIT
#include "net/http/http_request_head.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(RequestHead, FixedLinesInOrder) {
  RequestHeadFields fields;
  fields.target = "/album/1/";
  fields.host = "h:8080";
  EXPECT_EQ(BuildRequestHead(fields),
            "GET /album/1/ HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: h:8080\r\n"
            "Accept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n"
            "\r\n");
}

TEST(RequestHead, BrowserHeadersTakeThePlaceOfTheClientsOwnAndRefuseLineBreaks) {
  BrowserHeaders browser{"Mozilla/5.0 (X11) Firefox/133.0", "text/html,*/*;q=0.8", "zh-CN,zh;q=0.9",
                         "https://h/"};
  RequestHeadFields fields;
  fields.target = "/p.jpg";
  fields.host = "h";
  fields.cookie = "bid=1";
  fields.browser = &browser;
  EXPECT_EQ(BuildRequestHead(fields),
            "GET /p.jpg HTTP/1.1\r\n"
            "Host: h\r\n"
            "User-Agent: Mozilla/5.0 (X11) Firefox/133.0\r\n"
            "Accept: text/html,*/*;q=0.8\r\n"
            "Accept-Language: zh-CN,zh;q=0.9\r\n"
            "Referer: https://h/\r\n"
            "Cookie: bid=1\r\n"
            "\r\n");
  browser.referer.clear();
  EXPECT_EQ(BuildRequestHead(fields).find("Referer"), std::string::npos);
  browser.user_agent = "X\r\nInjected: 1";
  EXPECT_THROW(BuildRequestHead(fields), EIdException);
}

TEST(RequestHead, NoHostLineWithoutHost) {
  RequestHeadFields fields;
  fields.target = "x.html";
  EXPECT_EQ(BuildRequestHead(fields),
            "GET x.html HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Accept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n"
            "\r\n");
}

TEST(RequestHead, LineBreakInTargetOrHostIsRefused) {
  for (const char* broken : {"/a\r\nX-Injected: 1", "/a\nb", "/a\rb"}) {
    RequestHeadFields in_target;
    in_target.target = broken;
    EXPECT_THROW(BuildRequestHead(in_target), EIdException) << broken;
    RequestHeadFields in_host;
    in_host.target = "/";
    in_host.host = std::string("h") + broken;
    EXPECT_THROW(BuildRequestHead(in_host), EIdException) << broken;
  }
}

TEST(RequestHead, AuthorizationTracesThenCookie) {
  RequestHeadFields fields;
  fields.target = "/";
  fields.host = "h";
  fields.cookie = "a=1; b=2";
  fields.authorization = true;
  fields.proxy_authorization = true;
  EXPECT_EQ(BuildRequestHead(fields),
            "GET / HTTP/1.1\r\n"
            "Content-Type: text/html\r\n"
            "Host: h\r\n"
            "Accept: text/html, */*\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Tarn Library)\r\n"
            "Authorization: Basic Og==\r\n"
            "Proxy-Authorization: Basic Og==\r\n"
            "Cookie: a=1; b=2\r\n"
            "\r\n");
}

TEST(FoldHeaderLine, ShortLineStaysWhole) {
  const std::string line = "Cookie: " + std::string(kMaxHeaderLineLength - 8, 'a');
  EXPECT_EQ(FoldHeaderLine(line), line);
}

TEST(FoldHeaderLine, LongCookieFoldsAtSpacesWithinTheLimit) {
  std::string value;
  for (int i = 0; i < 300; ++i) value += (i ? "; n" : "n") + std::to_string(i) + "=v";
  const std::string line = "Cookie: " + value;
  const std::string folded = FoldHeaderLine(line);
  const std::vector<std::string> lines = Lines(folded);
  ASSERT_GT(lines.size(), 1u);
  std::string unfolded = lines[0];
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_LE(lines[i].size(), kMaxHeaderLineLength);
    if (i > 0) {
      ASSERT_EQ(lines[i][0], ' ');
      EXPECT_NE(lines[i][1], ' ');
      unfolded += lines[i];
    }
  }
  EXPECT_EQ(unfolded, line);  // a receiver joining the lines with a space gets the value back
}

TEST(FoldHeaderLine, NoBreakInsideQuotes) {
  const std::string quoted = "\"" + std::string(600, 'q') + " " + std::string(600, 'q') + "\"";
  const std::string line = "X: " + quoted + ", tail";
  // The quoted text cannot be split, so it gets a continuation line of its own.
  EXPECT_EQ(Lines(FoldHeaderLine(line)),
            (std::vector<std::string>{"X:", " " + quoted + ",", " tail"}));
}

TEST(FoldHeaderLine, LineWithoutFoldPointStaysWhole) {
  const std::string line = "X:" + std::string(2000, 'z');
  EXPECT_EQ(FoldHeaderLine(line), line);
}

}  // namespace
}  // namespace tarn::net
