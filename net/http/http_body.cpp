// SPDX-License-Identifier: MIT
#include "net/http/http_body.h"

#include <limits>
#include <optional>
#include <string>

#include "net/http/integer_text.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

constexpr std::string_view kChunked = "chunked";

// The size of a chunk-size line: the hexadecimal number before any extension (";") or blank.
std::optional<uint64_t> ChunkSizeOf(std::string_view line) {
  return ParseHex(line.substr(0, line.find_first_of(" \t;")));
}

void ReadChunks(InputReader& input, OutputStream& into, std::chrono::milliseconds wait) {
  for (;;) {
    const std::string line = input.ReadLine(wait);
    const std::optional<uint64_t> size = ChunkSizeOf(line);
    // Guessing where the body ends would pass off a truncated body as complete.
    if (!size) throw EIdException("Invalid chunk size line.");
    if (*size == 0) break;
    // A size near 2^64 must not wrap around to a small reservation the stream would accept.
    const uint64_t room = std::numeric_limits<uint64_t>::max() - into.Position();
    into.Reserve(*size > room ? std::numeric_limits<uint64_t>::max() : into.Position() + *size);
    input.ReadCount(*size, into, wait);
    input.ReadLine(wait);  // the line end after the chunk
  }
  // The body is complete; trailer lines up to the empty one are read so that none is taken
  // for the next answer. A close among them ends the answer just as well. They are header
  // lines, held to the head's limits so that an endless trailer cannot hold the fetch.
  size_t lines = 0;
  size_t bytes = 0;
  try {
    for (std::string trailer = input.ReadLine(wait); !trailer.empty();
         trailer = input.ReadLine(wait)) {
      bytes += trailer.size();
      if (++lines > kMaxHeaderLines || bytes > kMaxHeadBytes) throw EIdAnswerHeadTooLarge();
    }
  } catch (const EIdConnClosedGracefully&) {
  }
}

void ReadAnnouncedBody(InputReader& input, const AnswerHead& head, OutputStream& into,
                       std::chrono::milliseconds wait) {
  if (head.content_length > 0) {
    const uint64_t length = static_cast<uint64_t>(head.content_length);
    into.Reserve(into.Position() + length);
    input.ReadCount(length, into, wait);
  } else if (head.Value("Transfer-Encoding").find(kChunked) != std::string_view::npos) {
    ReadChunks(input, into, wait);
  } else if (!head.HasContentLength()) {
    input.ReadUntilClose(into, wait);
  }
}

}  // namespace

void ReadBody(InputReader& input, const AnswerHead& head, OutputStream& into,
              std::chrono::milliseconds wait) {
  try {
    ReadAnnouncedBody(input, head, into, wait);
  } catch (...) {
    try {
      into.Truncate();
    } catch (...) {
      // The read's own failure is the one worth reporting.
    }
    throw;
  }
  into.Truncate();
}

}  // namespace tarn::net
