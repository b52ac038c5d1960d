// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "net/http/http_result.h"

namespace tarn {

// The status by which today's service shuts a run out, when `failure` is such an answer: 418 or
// 429; 403, except for the original size (refused to everyone); a redirect to its captcha page
// (/misc/sorry) or to its security host ("sec."). Another request would only make it worse.
std::optional<int> ServiceRefusal(const net::HttpResult& answer, bool raw_size);

// What the user is told: the status, the photos saved so far, and what to do.
std::string RefusalMessage(int status, int saved);

}  // namespace tarn
