// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/http_header.h"
#include "net/input_reader.h"

namespace tarn::net {

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
// head there (complete is false).
AnswerHead ReadAnswerHead(InputReader& input, std::chrono::milliseconds wait);

// The second blank-separated word of a status line as an integer, or -1.
int StatusCodeOf(std::string_view status_line);

}  // namespace tarn::net
