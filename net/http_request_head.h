// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace tarn::net {

// Header lines longer than this are folded.
inline constexpr size_t kMaxHeaderLineLength = 1024;

inline constexpr std::string_view kUserAgent = "Mozilla/3.0 (compatible; Tarn Library)";

struct RequestHeadFields {
  std::string target;
  std::string host;    // the "Host" value; no line when empty
  std::string cookie;  // no line when empty
  bool authorization = false;
  bool proxy_authorization = false;
};

// The complete GET request head, every line ended by CR LF, the empty line included. A target
// or host holding CR or LF fails with EIdException: it would split the head.
std::string BuildRequestHead(const RequestHeadFields& fields);

// Folds a header line (without its line end) longer than kMaxHeaderLineLength at spaces,
// tabs and commas outside double quotes; continuation lines begin with one space. The lines
// come back joined by CR LF, without a final one.
std::string FoldHeaderLine(std::string_view line);

}  // namespace tarn::net
