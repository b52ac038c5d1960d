// SPDX-License-Identifier: MIT
#pragma once

#include <exception>

#include "net/http/http_result.h"

namespace tarn::net {

// Whether another attempt of a fetch that failed with `failure` could succeed: yes for
// network failures, server errors (5xx), 408 and 429; no for what would fail again the same
// way: an address that cannot be sent (control characters, unknown scheme, bad port, refused
// host), other 4xx answers, a body beyond the size cap, a proxy that cannot be used, and file
// errors.
bool IsWorthRetrying(const std::exception& failure);
// The same for an answer that is no success.
bool IsWorthRetrying(const HttpResult& answer);

}  // namespace tarn::net
