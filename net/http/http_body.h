// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

#include "net/http/http_answer_head.h"
#include "net/stream/input_reader.h"
#include "net/stream/output_stream.h"

namespace tarn::net {

// Reads the body that the head announces into `into`, at its position: a content length
// above 0 (which wins over chunking), else lower-case "chunked" framing, else everything until
// the peer closes when no length is given; a length of 0 means no body. Whatever arrived is
// written, and the stream ends after it whether the read succeeds or fails. A body cut short
// fails with EIdConnClosedGracefully; a chunk-size line that is no hexadecimal number fails
// with EIdException; trailer lines beyond the head's limits fail with EIdAnswerHeadTooLarge.
void ReadBody(InputReader& input, const AnswerHead& head, OutputStream& into,
              std::chrono::milliseconds wait);

}  // namespace tarn::net
