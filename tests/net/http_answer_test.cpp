// SPDX-License-Identifier: MIT
// Answer heads and bodies read from scripted bytes, without sockets.
#include <gtest/gtest.h>

#include "net/http/http_answer_head.h"
#include "net/http/http_body.h"
#include "net/http/integer_text.h"
#include "net/socket/socket_errors.h"
#include "net/stream/memory_stream.h"
#include "scripted_source.h"

namespace tarn::net {
namespace {

using testing::ScriptedSource;

constexpr std::chrono::milliseconds kWait{100};
constexpr uint64_t kLimit = 1 << 20;

struct Read {
  AnswerHead head;
  std::string body;
};

Read HeadAndBody(ScriptedSource& source) {
  InputReader input(source);
  Read read;
  read.head = ReadAnswerHead(input, kWait);
  MemoryStream body(kLimit);
  ReadBody(input, read.head, body, kWait);
  read.body = body.Take();
  return read;
}

Read HeadAndBody(std::string bytes) {
  ScriptedSource source;
  source.Bytes(std::move(bytes));
  return HeadAndBody(source);
}

TEST(IntegerText, WholeTextOnly) {
  EXPECT_EQ(ParseInteger("+42"), 42);
  EXPECT_EQ(ParseInteger("-7"), -7);
  EXPECT_EQ(ParseInteger("9223372036854775807"), INT64_MAX);
  EXPECT_FALSE(ParseInteger("9223372036854775808"));
  EXPECT_FALSE(ParseInteger("+-1"));
  EXPECT_FALSE(ParseInteger(""));
  EXPECT_FALSE(ParseInteger("1 "));
  EXPECT_FALSE(ParseInteger32("2147483648"));
  EXPECT_EQ(ParseHex("1a"), 26u);
  EXPECT_EQ(ParseHex("1A"), 26u);
  EXPECT_FALSE(ParseHex("0x1A"));
  EXPECT_FALSE(ParseHex("-1"));
  EXPECT_FALSE(ParseHex("10000000000000000"));
}

TEST(AnswerHead, StatusCodeIsSecondWord) {
  EXPECT_EQ(StatusCodeOf("HTTP/1.1 404 Not Found"), 404);
  EXPECT_EQ(StatusCodeOf("HTTP/1.0   200"), 200);
  EXPECT_EQ(StatusCodeOf("  HTTP/1.1 301 Moved"), 301);
  EXPECT_EQ(StatusCodeOf("<html><body>"), -1);
  EXPECT_EQ(StatusCodeOf("HTTP/1.1 2OO OK"), -1);
  EXPECT_EQ(StatusCodeOf(""), -1);
}

TEST(AnswerHead, HeadersFirstOneCountsContinuationsJoined) {
  ScriptedSource source;
  source.Bytes(
      "HTTP/1.1 200 OK\r\n"
      "X-Long:  first part \r\n"
      "\t second part\r\n"
      "content-length:  5 \r\n"
      "Content-Length: 9\r\n"
      "Set-Cookie: a=1\r\n"
      "Set-Cookie: b=2\r\n"
      "\r\n");
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  EXPECT_TRUE(head.complete);
  EXPECT_EQ(head.status_line, "HTTP/1.1 200 OK");
  EXPECT_EQ(head.Value("x-long"), "first part second part");
  EXPECT_EQ(head.content_length, 5);
  ASSERT_EQ(head.headers.size(), 5u);
  EXPECT_EQ(head.headers[3].value, "a=1");
  EXPECT_EQ(head.headers[4].value, "b=2");
}

TEST(AnswerHead, BadContentLengthCountsAsAbsent) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\n");
  InputReader input(source);
  EXPECT_FALSE(ReadAnswerHead(input, kWait).HasContentLength());
}

TEST(AnswerHead, CloseAmongHeaderLinesEndsTheHead) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nA: 1\r\nB: 2");
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  EXPECT_FALSE(head.complete);
  ASSERT_EQ(head.headers.size(), 1u);
  EXPECT_EQ(head.headers[0].name, "A");
}

TEST(AnswerHead, CloseInsideStatusLineFails) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 20");
  InputReader input(source);
  EXPECT_THROW(ReadAnswerHead(input, kWait), EIdConnClosedGracefully);
}

TEST(AnswerBody, ContentLength) {
  const Read read = HeadAndBody("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhelloNEXT");
  EXPECT_EQ(read.body, "hello");
}

TEST(AnswerBody, ContentLengthZeroReadsNothing) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n").Timeout();
  EXPECT_EQ(HeadAndBody(source).body, "");
}

TEST(AnswerBody, NoLengthReadsUntilClose) {
  ScriptedSource source;
  source.Bytes("HTTP/1.0 200 OK\r\n\r\nabc").Bytes("def");
  EXPECT_EQ(HeadAndBody(source).body, "abcdef");
}

TEST(AnswerBody, ChunkSizesInBothLetterCasesAndExtensions) {
  const std::string chunk_a(0x1a, 'a');
  const std::string chunk_b(0x1A, 'B');
  const Read read = HeadAndBody(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "1a\r\n" +
      chunk_a +
      "\r\n"
      "1A;name=value\r\n" +
      chunk_b +
      "\r\n"
      "3 ; note\r\nxyz\r\n"
      "0\r\n\r\nNEXT");
  EXPECT_EQ(read.body, chunk_a + chunk_b + "xyz");
}

TEST(AnswerBody, TrailerLinesAreConsumed) {
  ScriptedSource source;
  source.Bytes(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
      "2\r\nok\r\n0\r\nX-Trailer: 1\r\n\r\nHTTP/1.1 200 OK\r\n");
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  MemoryStream body(kLimit);
  ReadBody(input, head, body, kWait);
  EXPECT_EQ(body.Take(), "ok");
  EXPECT_EQ(input.ReadLine(kWait), "HTTP/1.1 200 OK");
}

TEST(AnswerBody, CapitalChunkedIsNotRecognised) {
  const std::string raw = "2\r\nok\r\n0\r\n\r\n";
  EXPECT_EQ(HeadAndBody("HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n" + raw).body, raw);
}

TEST(AnswerBody, LengthWinsOverChunked) {
  const Read read = HeadAndBody(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 5\r\n\r\n"
      "2\r\nok\r\n0\r\n\r\n");
  EXPECT_EQ(read.body, "2\r\nok");
}

TEST(AnswerBody, CloseInsideChunkFails) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10\r\nonly");
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  MemoryStream body(kLimit);
  EXPECT_THROW(ReadBody(input, head, body, kWait), EIdConnClosedGracefully);
  EXPECT_EQ(body.Take(), "only");
}

TEST(AnswerBody, GarbledChunkSizeFailsInsteadOfEndingTheBody) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\nzz\r\nmore");
  EXPECT_THROW(HeadAndBody(source), EIdException);
}

TEST(AnswerBody, CloseAfterLastChunkEndsTheBody) {
  EXPECT_EQ(
      HeadAndBody("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n").body,
      "ok");
}

TEST(AnswerBody, ShortBodyFailsAndKeepsWhatArrived) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabcdef");
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  MemoryStream body(kLimit);
  body.Write("stale bytes beyond the body");
  body.Seek(0);
  EXPECT_THROW(ReadBody(input, head, body, kWait), EIdConnClosedGracefully);
  EXPECT_EQ(body.Position(), 6u);
  EXPECT_EQ(body.Take(), "abcdef");  // the stream ends after what arrived
}

TEST(AnswerBody, TooLargeForMemoryFailsBeforeReading) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\nContent-Length: 2000000\r\n\r\n").Timeout();
  InputReader input(source);
  const AnswerHead head = ReadAnswerHead(input, kWait);
  MemoryStream body(kLimit);
  EXPECT_THROW(ReadBody(input, head, body, kWait), EIdException);
  EXPECT_EQ(source.receives, 1);
}

}  // namespace
}  // namespace tarn::net
