// SPDX-License-Identifier: MIT
#include "net/http/http_request_head.h"

#include "base/text.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Base64 of an empty user name and password joined by ":", that is of a lone colon.
constexpr std::string_view kEmptyBasicCredentials = "Basic Og==";

bool HasLineEnd(std::string_view text) { return text.find_first_of("\r\n") != text.npos; }

bool IsFoldPoint(char c) { return c == ' ' || c == '\t' || c == ','; }

void AddHeader(std::string& head, std::string_view name, std::string_view value) {
  std::string line;
  line.append(name).append(": ").append(value);
  head.append(FoldHeaderLine(line)).append(kLineEnd);
}

// Position just after the best place to break `text` so that the first part stays within
// `width`: the last fold point in reach, else the first one beyond; npos when none exists.
size_t BreakAfter(std::string_view text, size_t width) {
  size_t within = std::string_view::npos;
  size_t beyond = std::string_view::npos;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (quoted || !IsFoldPoint(text[i]) || i == 0) continue;
    // A comma stays on its line; a blank becomes the continuation's leading space.
    const size_t end = text[i] == ',' ? i + 1 : i;
    if (end <= width) {
      within = end;
    } else {
      beyond = end;
      break;
    }
  }
  return within != std::string_view::npos ? within : beyond;
}

}  // namespace

std::string FoldHeaderLine(std::string_view line) {
  std::string folded;
  std::string_view rest = line;
  size_t width = kMaxHeaderLineLength;
  bool continuation = false;
  while (rest.size() > width) {
    const size_t end = BreakAfter(rest, width);
    if (end == std::string_view::npos || end >= rest.size()) break;
    if (continuation) folded += ' ';
    folded.append(Trim(rest.substr(0, end))).append(kLineEnd);
    rest = Trim(rest.substr(end));
    continuation = true;
    width = kMaxHeaderLineLength - 1;  // room for the leading space
  }
  if (continuation) folded += ' ';
  folded.append(rest);
  return folded;
}

std::string BuildRequestHead(const RequestHeadFields& fields) {
  // Addresses come from pages the server wrote; a line end in one would end the request line
  // and pass the rest off as headers of our own.
  if (HasLineEnd(fields.target) || HasLineEnd(fields.host)) {
    throw EIdException("Address holds a line break.");
  }
  const BrowserHeaders* browser = fields.browser;
  if (browser != nullptr &&
      (HasLineEnd(browser->user_agent) || HasLineEnd(browser->accept) ||
       HasLineEnd(browser->accept_language) || HasLineEnd(browser->referer))) {
    throw EIdException("Header holds a line break.");
  }
  std::string head;
  head.append("GET ").append(fields.target).append(" HTTP/1.1").append(kLineEnd);
  if (browser == nullptr) {
    AddHeader(head, "Content-Type", "text/html");
    if (!fields.host.empty()) AddHeader(head, "Host", fields.host);
    AddHeader(head, "Accept", "text/html, */*");
    AddHeader(head, "User-Agent", kUserAgent);
  } else {
    if (!fields.host.empty()) AddHeader(head, "Host", fields.host);
    AddHeader(head, "User-Agent", browser->user_agent);
    AddHeader(head, "Accept", browser->accept);
    AddHeader(head, "Accept-Language", browser->accept_language);
    if (!browser->referer.empty()) AddHeader(head, "Referer", browser->referer);
    if (browser->picture) {
      AddHeader(head, "Sec-Fetch-Dest", "image");
      AddHeader(head, "Sec-Fetch-Mode", "no-cors");
      AddHeader(head, "Sec-Fetch-Site", "cross-site");
    }
  }
  if (fields.authorization) AddHeader(head, "Authorization", kEmptyBasicCredentials);
  if (!fields.proxy_credentials.empty()) {
    AddHeader(head, "Proxy-Authorization", fields.proxy_credentials);
  } else if (fields.proxy_authorization) {
    AddHeader(head, "Proxy-Authorization", kEmptyBasicCredentials);
  }
  if (!fields.cookie.empty()) AddHeader(head, "Cookie", fields.cookie);
  head.append(kLineEnd);
  return head;
}

}  // namespace tarn::net
