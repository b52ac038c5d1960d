// SPDX-License-Identifier: MIT
#include "net/stream/input_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "net/socket/socket_errors.h"
#include "net/stream/memory_stream.h"
#include "scripted_source.h"

namespace tarn::net {
namespace {

using std::chrono::milliseconds;
using testing::ScriptedSource;

constexpr milliseconds kWait{100};
constexpr uint64_t kLimit = 1 << 20;

TEST(InputReader, LineDropsOneCarriageReturnAndKeepsTheRestBuffered) {
  ScriptedSource source;
  source.Bytes("first\r\nsecond\nthird\r\r\nrest");
  InputReader input(source);
  EXPECT_EQ(input.ReadLine(kWait), "first");
  EXPECT_EQ(input.ReadLine(kWait), "second");
  EXPECT_EQ(input.ReadLine(kWait), "third\r");
  EXPECT_EQ(input.Buffered(), 4u);
  MemoryStream out(kLimit);
  input.ReadCount(4, out, kWait);
  EXPECT_EQ(out.Take(), "rest");
  EXPECT_EQ(source.receives, 1);
}

TEST(InputReader, LineArrivingInPieces) {
  ScriptedSource source;
  source.Bytes("HTTP/1.").Bytes("1 200 OK\r").Bytes("\nX");
  InputReader input(source);
  EXPECT_EQ(input.ReadLine(kWait), "HTTP/1.1 200 OK");
  EXPECT_EQ(input.Buffered(), 1u);
}

TEST(InputReader, LineOfExactlyTheLimitIsAccepted) {
  const std::string line(kMaxLineLength - 1, 'a');
  ScriptedSource source;
  source.Bytes(line + "\r\n");
  InputReader input(source);
  EXPECT_EQ(input.ReadLine(kWait), line);
}

TEST(InputReader, LineOneByteOverTheLimitFails) {
  ScriptedSource source;
  source.Bytes(std::string(kMaxLineLength - 1, 'a') + "b\r\n");
  InputReader input(source);
  EXPECT_THROW(input.ReadLine(kWait), EIdReadLnMaxLineLengthExceeded);
}

TEST(InputReader, LongRunWithoutLineFeedFailsWithoutWaitingForMore) {
  ScriptedSource source;
  source.Bytes(std::string(kMaxLineLength + 1, 'a')).Timeout();
  InputReader input(source);
  EXPECT_THROW(input.ReadLine(kWait), EIdReadLnMaxLineLengthExceeded);
}

TEST(InputReader, LineAtLimitSplitAcrossReadsIsAccepted) {
  ScriptedSource source;
  source.Bytes(std::string(kMaxLineLength, 'a')).Bytes("\nnext\n");
  InputReader input(source);
  EXPECT_EQ(input.ReadLine(kWait).size(), kMaxLineLength);
  EXPECT_EQ(input.ReadLine(kWait), "next");
}

TEST(InputReader, CloseBeforeLineFeedFails) {
  ScriptedSource source;
  source.Bytes("partial");
  InputReader input(source);
  EXPECT_THROW(input.ReadLine(kWait), EIdConnClosedGracefully);
  EXPECT_TRUE(input.PeerClosed());
}

TEST(InputReader, TimeoutPassesThrough) {
  ScriptedSource source;
  source.Bytes("par").Timeout();
  InputReader input(source);
  EXPECT_THROW(input.ReadLine(kWait), EIdReadTimeout);
}

TEST(InputReader, CountTakesBufferFirstThenReadsAtMostWhatIsMissing) {
  ScriptedSource source;
  source.Bytes("head\nab").Bytes(std::string(70000, 'x') + "NEXT");
  InputReader input(source);
  ASSERT_EQ(input.ReadLine(kWait), "head");
  MemoryStream out(kLimit);
  input.ReadCount(70002, out, kWait);
  EXPECT_EQ(out.Take(), "ab" + std::string(70000, 'x'));
  EXPECT_LE(source.largest_request, kReadPieceSize);
  EXPECT_EQ(input.Buffered(), 0u);
  // The read never went past the count: the next answer's bytes come to the next read.
  EXPECT_THROW(input.ReadLine(kWait), EIdConnClosedGracefully);
  EXPECT_EQ(input.Buffered(), 4u);
}

TEST(InputReader, CountCutShortWritesWhatCameThenFails) {
  ScriptedSource source;
  source.Bytes("abc").Bytes("def");
  InputReader input(source);
  MemoryStream out(kLimit);
  EXPECT_THROW(input.ReadCount(10, out, kWait), EIdConnClosedGracefully);
  EXPECT_EQ(out.Take(), "abcdef");
}

TEST(InputReader, UntilCloseTakesEverything) {
  ScriptedSource source;
  source.Bytes("line\nbody ").Bytes("more");
  InputReader input(source);
  ASSERT_EQ(input.ReadLine(kWait), "line");
  MemoryStream out(kLimit);
  input.ReadUntilClose(out, kWait);
  EXPECT_EQ(out.Take(), "body more");
}

TEST(InputReader, ResetWithBufferedBytesReadsLikeAClose) {
  ScriptedSource source;
  source.Bytes("HTTP/1.1 200 OK\r\npart").Error(10054);
  InputReader input(source);
  ASSERT_EQ(input.ReadLine(kWait), "HTTP/1.1 200 OK");
  EXPECT_THROW(input.ReadLine(kWait), EIdConnClosedGracefully);
}

TEST(InputReader, ResetWithEmptyBufferIsASocketError) {
  ScriptedSource source;
  source.Error(10054);
  InputReader input(source);
  MemoryStream out(kLimit);
  try {
    input.ReadUntilClose(out, kWait);
    FAIL() << "no error";
  } catch (const EIdSocketError& error) {
    EXPECT_EQ(error.Number(), 10054);
  }
}

TEST(InputReader, OtherSocketErrorsPassThroughEvenWithBufferedBytes) {
  ScriptedSource source;
  source.Bytes("par").Error(10060);
  InputReader input(source);
  EXPECT_THROW(input.ReadLine(kWait), EIdSocketError);
  EXPECT_FALSE(input.PeerClosed());
}

TEST(InputReader, PollKeepsBytesAndReportsClose) {
  ScriptedSource source;
  source.Timeout().Bytes("early");
  InputReader input(source);
  EXPECT_TRUE(input.Poll(kWait));  // nothing came: no failure
  EXPECT_TRUE(input.Poll(kWait));
  EXPECT_EQ(input.Buffered(), 5u);
  EXPECT_FALSE(input.Poll(kWait));
  EXPECT_TRUE(input.PeerClosed());
  input.Reset();
  EXPECT_EQ(input.Buffered(), 0u);
  EXPECT_FALSE(input.PeerClosed());
}

}  // namespace
}  // namespace tarn::net
