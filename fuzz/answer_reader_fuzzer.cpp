// SPDX-License-Identifier: MIT
// Answers read one after the other as on a kept connection, from bytes that arrive in pieces
// of fuzzed sizes and end with a close, a reset or a stall. Every head and body must match a
// plain reading of the same bytes at once: how bytes are split over reads must never change
// what is read, nor where one answer ends and the next begins.
//
// Input: byte 0 picks the end (close, reset, stall), byte 1 the body limit, byte 2 the piece
// sizes (0: as much as the reader asks for); the rest is what the server sends.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "fuzz_check.h"
#include "net/http/http_answer_head.h"
#include "net/http/http_body.h"
#include "net/http/http_client.h"
#include "net/http/integer_text.h"
#include "net/socket/socket_error_text.h"
#include "net/socket/socket_errors.h"
#include "net/stream/memory_stream.h"

namespace tarn::net {
namespace {

using fuzz::Check;

constexpr std::chrono::milliseconds kWait{0};
// Answers read from one input: enough to cross from one answer into the next a few times.
constexpr int kMaxAnswers = 8;
// Body limits come in steps of this many bytes, so that small inputs reach them.
constexpr uint64_t kLimitStep = 16;
// The limit byte that stands for FetchText's own limit.
constexpr uint8_t kTextLimitCode = 0xff;
// Largest piece a fuzzed plan hands out: small pieces cut lines and chunks in every place.
constexpr uint32_t kMaxPiece = 97;

enum class End { kClose, kReset, kStall };

enum class Failure {
  kNone,
  kClosed,
  kLineTooLong,
  kTimeout,
  kSocketError,
  kBodyTooLarge,
  kBadChunk,
  kHeadTooLarge
};

// Hands the bytes out in pieces of planned sizes, then ends as planned.
class PieceSource final : public ByteSource {
 public:
  PieceSource(std::string_view bytes, End end, uint8_t seed)
      : bytes_(bytes), end_(end), state_(seed) {}

  size_t Receive(char* into, size_t capacity, std::chrono::milliseconds) override {
    if (at_ == bytes_.size()) {
      switch (end_) {
        case End::kClose:
          return 0;
        case End::kReset:
          throw EIdSocketError(kWsaConnectionReset);
        case End::kStall:
          throw EIdReadTimeout();
      }
    }
    const size_t count = std::min({capacity, bytes_.size() - at_, NextPiece()});
    std::memcpy(into, bytes_.data() + at_, count);
    at_ += count;
    return count;
  }

  size_t Delivered() const { return at_; }

 private:
  size_t NextPiece() {
    if (state_ == 0) return SIZE_MAX;
    state_ = state_ * 1103515245u + 12345u;
    return 1 + (state_ >> 16) % kMaxPiece;
  }

  std::string_view bytes_;
  End end_;
  uint32_t state_;
  size_t at_ = 0;
};

// The same bytes read at once, by the rules the reader promises.
class Reference {
 public:
  Reference(std::string_view bytes, End end) : bytes_(bytes), end_(end) {}

  size_t Position() const { return at_; }

  std::string Line() {
    const size_t feed = bytes_.find('\n', at_);
    if (feed == std::string_view::npos) {
      if (bytes_.size() - at_ > kMaxLineLength) throw Failure::kLineTooLong;
      Ended(at_ < bytes_.size());
    }
    if (feed - at_ > kMaxLineLength) throw Failure::kLineTooLong;
    std::string line(bytes_.substr(at_, feed - at_));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    at_ = feed + 1;
    return line;
  }

  void Count(uint64_t count, std::string& into) {
    if (count <= bytes_.size() - at_) {
      into.append(bytes_.substr(at_, count));
      at_ += count;
      return;
    }
    into.append(bytes_.substr(at_));
    at_ = bytes_.size();
    Ended(false);
  }

  void UntilClose(std::string& into, uint64_t limit) {
    const std::string_view rest = bytes_.substr(at_);
    if (rest.size() > limit) {
      into.append(rest.substr(0, limit));
      throw Failure::kBodyTooLarge;
    }
    into.append(rest);
    at_ = bytes_.size();
    if (!closed_ && end_ != End::kClose) Ended(false);
    closed_ = true;
  }

 private:
  // More bytes were needed than the server sent. A reset with part of a line in hand reads
  // as a close, so that line's bytes still count.
  [[noreturn]] void Ended(bool had_unread) {
    if (closed_ || end_ == End::kClose || (end_ == End::kReset && had_unread)) {
      closed_ = true;
      throw Failure::kClosed;
    }
    throw end_ == End::kReset ? Failure::kSocketError : Failure::kTimeout;
  }

  std::string_view bytes_;
  End end_;
  size_t at_ = 0;
  bool closed_ = false;
};

struct Outcome {
  std::optional<AnswerHead> head;
  std::vector<std::string> header_lines;  // as received, for the reference only
  std::string body;
  Failure failure = Failure::kNone;
};

Failure Classify(const EIdException& error) {
  if (dynamic_cast<const EIdConnClosedGracefully*>(&error)) return Failure::kClosed;
  if (dynamic_cast<const EIdReadLnMaxLineLengthExceeded*>(&error)) return Failure::kLineTooLong;
  if (dynamic_cast<const EIdReadTimeout*>(&error)) return Failure::kTimeout;
  if (dynamic_cast<const EIdSocketError*>(&error)) return Failure::kSocketError;
  if (dynamic_cast<const EIdAnswerHeadTooLarge*>(&error)) return Failure::kHeadTooLarge;
  const std::string_view message = error.Message();
  if (message.starts_with("Answer body larger than")) return Failure::kBodyTooLarge;
  if (message == "Invalid chunk size line.") return Failure::kBadChunk;
  Check(false, "an error no answer should raise");
  return Failure::kNone;
}

Outcome ReadReal(InputReader& input, uint64_t limit) {
  Outcome outcome;
  MemoryStream body(limit);
  try {
    outcome.head = ReadAnswerHead(input, kWait);
    if (outcome.head->complete) ReadBody(input, *outcome.head, body, kWait);
  } catch (const EIdException& error) {
    outcome.failure = Classify(error);
  }
  outcome.body = body.Take();
  return outcome;
}

bool IsChunked(const AnswerHead& head) {
  return head.Value("Transfer-Encoding").find("chunked") != std::string_view::npos;
}

void ReferenceChunks(Reference& reference, std::string& body, uint64_t limit) {
  for (;;) {
    const std::string line = reference.Line();
    const std::optional<uint64_t> size = ParseHex(line.substr(0, line.find_first_of(" \t;")));
    if (!size) throw Failure::kBadChunk;
    if (*size == 0) break;
    if (*size > limit - body.size()) throw Failure::kBodyTooLarge;
    reference.Count(*size, body);
    reference.Line();
  }
  size_t lines = 0;
  size_t bytes = 0;
  try {
    for (std::string line = reference.Line(); !line.empty(); line = reference.Line()) {
      bytes += line.size();
      if (++lines > kMaxHeaderLines || bytes > kMaxHeadBytes) throw Failure::kHeadTooLarge;
    }
  } catch (Failure failure) {
    if (failure != Failure::kClosed) throw;
  }
}

// Reads the head's lines the plain way; the framing then follows the real head, which
// CheckHead holds against these lines.
Outcome ReadExpected(Reference& reference, const std::optional<AnswerHead>& real_head,
                     uint64_t limit) {
  Outcome outcome;
  try {
    AnswerHead head;
    head.status_line = reference.Line();
    size_t bytes = head.status_line.size();
    try {
      for (std::string line = reference.Line(); !line.empty(); line = reference.Line()) {
        bytes += line.size();
        if (outcome.header_lines.size() + 1 > kMaxHeaderLines || bytes > kMaxHeadBytes) {
          throw Failure::kHeadTooLarge;
        }
        outcome.header_lines.push_back(line);
      }
    } catch (Failure failure) {
      if (failure != Failure::kClosed) throw;
      head.complete = false;
    }
    outcome.head = head;
    if (!head.complete || !real_head) return outcome;
    if (real_head->content_length > 0) {
      if (static_cast<uint64_t>(real_head->content_length) > limit) throw Failure::kBodyTooLarge;
      reference.Count(static_cast<uint64_t>(real_head->content_length), outcome.body);
    } else if (IsChunked(*real_head)) {
      ReferenceChunks(reference, outcome.body, limit);
    } else if (!real_head->HasContentLength()) {
      reference.UntilClose(outcome.body, limit);
    }
  } catch (Failure failure) {
    outcome.failure = failure;
  }
  return outcome;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void CheckHead(const AnswerHead& real, const AnswerHead& expected,
               const std::vector<std::string>& lines) {
  Check(real.status_line == expected.status_line, "status line");
  Check(real.status_code == StatusCodeOf(real.status_line), "status code");
  Check(real.complete == expected.complete, "head completeness");
  Check(real.headers.size() <= kMaxHeaderLines, "header count within the limit");
  size_t header = 0;
  for (const std::string& line : lines) {
    if (IsBlank(line.front())) {
      if (header == 0) continue;  // a continuation with nothing to continue
      const std::string_view more = Trim(line);
      Check(more.empty() || real.headers[header - 1].value.find(more) != std::string::npos,
            "continuation joined to its header");
      continue;
    }
    Check(header < real.headers.size(), "every header line kept");
    const HttpHeader& kept = real.headers[header++];
    const size_t colon = line.find(':');
    Check(kept.name == line.substr(0, colon), "header name");
    const std::string_view first = colon == std::string::npos
                                       ? std::string_view()
                                       : Trim(std::string_view(line).substr(colon + 1));
    Check(std::string_view(kept.value).starts_with(first), "header value");
    Check(Trim(kept.value) == kept.value, "header value trimmed");
  }
  Check(header == real.headers.size(), "no header made up");
  const std::optional<int64_t> length = ParseInteger(Trim(real.Value("Content-Length")));
  Check(real.content_length == (length && *length >= 0 ? *length : -1), "content length");
}

void CheckAnswer(const Outcome& real, const Outcome& expected, uint64_t limit) {
  Check(real.failure == expected.failure, "same failure as the plain reading");
  Check(real.head.has_value() == expected.head.has_value(), "head read or not alike");
  if (real.head) CheckHead(*real.head, *expected.head, expected.header_lines);
  if (real.failure == Failure::kBodyTooLarge) {
    Check(real.body.size() <= limit && expected.body.starts_with(real.body),
          "a body over the limit keeps what came before it");
  } else {
    Check(real.body == expected.body, "body");
  }
}

}  // namespace
}  // namespace tarn::net

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn::net;
  constexpr size_t kSettings = 3;
  if (size < kSettings) return 0;
  const End end = static_cast<End>(data[0] % 3);
  const uint64_t limit = data[1] == kTextLimitCode ? kMaxTextBody : data[1] * kLimitStep;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + kSettings, size - kSettings);

  PieceSource source(bytes, end, data[2]);
  InputReader input(source);
  Reference reference(bytes, end);
  for (int answer = 0; answer < kMaxAnswers; ++answer) {
    const Outcome real = ReadReal(input, limit);
    const Outcome expected = ReadExpected(reference, real.head, limit);
    CheckAnswer(real, expected, limit);
    if (real.failure != Failure::kNone || !real.head->complete) break;
    tarn::fuzz::Check(input.Buffered() == source.Delivered() - reference.Position(),
                      "the reader holds exactly the bytes not yet read");
  }
  return 0;
}
