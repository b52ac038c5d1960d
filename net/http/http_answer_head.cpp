// SPDX-License-Identifier: MIT
#include "net/http/http_answer_head.h"

#include "base/text.h"
#include "net/http/integer_text.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void AddHeaderLine(AnswerHead& head, std::string_view line) {
  if (!line.empty() && IsBlank(line.front())) {
    // A continuation of the header before it; one without a header before it is dropped.
    if (head.headers.empty()) return;
    std::string& value = head.headers.back().value;
    const std::string_view more = Trim(line);
    if (!value.empty() && !more.empty()) value += ' ';
    value += more;
    return;
  }
  const size_t colon = line.find(':');
  HttpHeader header;
  header.name = std::string(line.substr(0, colon));
  if (colon != std::string_view::npos) header.value = std::string(Trim(line.substr(colon + 1)));
  head.headers.push_back(std::move(header));
}

}  // namespace

std::string_view AnswerHead::Value(std::string_view name) const {
  for (const HttpHeader& header : headers) {
    if (EqualsIgnoringAsciiCase(header.name, name)) return header.value;
  }
  return {};
}

int StatusCodeOf(std::string_view status_line) {
  size_t position = 0;
  while (position < status_line.size() && IsBlank(status_line[position])) ++position;
  while (position < status_line.size() && !IsBlank(status_line[position])) ++position;
  while (position < status_line.size() && IsBlank(status_line[position])) ++position;
  const size_t begin = position;
  while (position < status_line.size() && !IsBlank(status_line[position])) ++position;
  return ParseInteger32(status_line.substr(begin, position - begin)).value_or(-1);
}

AnswerHead ReadAnswerHead(InputReader& input, std::chrono::milliseconds wait) {
  AnswerHead head;
  head.status_line = input.ReadLine(wait);
  head.status_code = StatusCodeOf(head.status_line);
  size_t lines = 0;
  size_t bytes = head.status_line.size();
  try {
    for (;;) {
      const std::string line = input.ReadLine(wait);
      if (line.empty()) break;
      bytes += line.size();
      if (++lines > kMaxHeaderLines || bytes > kMaxHeadBytes) throw EIdAnswerHeadTooLarge();
      AddHeaderLine(head, line);
    }
  } catch (const EIdConnClosedGracefully&) {
    head.complete = false;
  }
  head.content_length = ParseInteger(Trim(head.Value("Content-Length"))).value_or(-1);
  if (head.content_length < 0) head.content_length = -1;
  return head;
}

}  // namespace tarn::net
