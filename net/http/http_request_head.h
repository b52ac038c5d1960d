// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn::net {

// Header lines longer than this are folded.
inline constexpr size_t kMaxHeaderLineLength = 1024;

inline constexpr std::string_view kUserAgent = "Mozilla/3.0 (compatible; Tarn Library)";

// What a desktop browser says of itself, for services that shut other clients out.
struct BrowserHeaders {
  std::string user_agent;
  std::string accept;
  std::string accept_language;
  std::string referer;  // no line when empty
  // A picture that a page shows, asked for as a browser asks for images (Sec-Fetch-* lines).
  bool picture = false;
};

struct RequestHeadFields {
  std::string target;
  std::string host;    // the "Host" value; no line when empty
  std::string cookie;  // no line when empty
  bool authorization = false;
  bool proxy_authorization = false;
  // A proxy's "Proxy-Authorization" value, sent in place of the empty pair; no line when empty.
  std::string proxy_credentials;
  // Sent in place of the client's own Content-Type, Accept and User-Agent lines.
  const BrowserHeaders* browser = nullptr;
};

// The complete GET request head, every line ended by CR LF, the empty line included. A target,
// host or browser header holding CR or LF fails with EIdException: it would split the head.
std::string BuildRequestHead(const RequestHeadFields& fields);

// Folds a header line (without its line end) longer than kMaxHeaderLineLength at spaces,
// tabs and commas outside double quotes; continuation lines begin with one space. The lines
// come back joined by CR LF, without a final one.
std::string FoldHeaderLine(std::string_view line);

}  // namespace tarn::net
