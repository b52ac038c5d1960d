// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/http/http_header.h"
#include "net/socket/socket_errors.h"
#include "net/stream/input_reader.h"

namespace tarn::net {

// Most header lines one answer head may have, continuation lines counted: servers send a few
// dozen, and one that sends them without end must not fill our memory.
inline constexpr size_t kMaxHeaderLines = 100;
// Most bytes of one answer head, status and header lines without their line ends: room for
// large cookies, far below what would hurt.
inline constexpr size_t kMaxHeadBytes = 256 * 1024;

// An answer head beyond those limits: the server is broken or hostile.
class EIdAnswerHeadTooLarge : public EIdException {
 public:
  EIdAnswerHeadTooLarge()
      : EIdException("Answer head longer than " + std::to_string(kMaxHeaderLines) +
                     " header lines or " + std::to_string(kMaxHeadBytes) + " bytes.") {}
};

// One answer head as read, with the values the client uses.
struct AnswerHead {
  std::string status_line;
  int status_code = -1;         // -1 when the status line has no number in second place
  HttpHeaders headers;          // in the order received, continuation lines joined
  int64_t content_length = -1;  // -1 when absent or not an integer
  // False when the peer closed before the empty line that ends the head.
  bool complete = true;

  // The value of the first header of that name (letter case ignored), or empty.
  std::string_view Value(std::string_view name) const;
  bool HasContentLength() const { return content_length >= 0; }
};

// Reads a status line and header lines up to the empty line. A close before the status
// line has ended fails with EIdConnClosedGracefully; a close among the header lines ends the
// head there (complete is false). A head beyond kMaxHeaderLines or kMaxHeadBytes fails with
// EIdAnswerHeadTooLarge.
AnswerHead ReadAnswerHead(InputReader& input, std::chrono::milliseconds wait);

// The second blank-separated word of a status line as an integer, or -1.
int StatusCodeOf(std::string_view status_line);

}  // namespace tarn::net
