// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn::net {

inline constexpr int kForbidden = 403;
inline constexpr int kNotFound = 404;
inline constexpr int kTooManyRequests = 429;

// A status that moves the address elsewhere.
inline bool IsRedirectStatus(int status) { return status >= 300 && status <= 399; }

// What a fetch got: the server's answer, of whatever status. Failures that are no answer (no
// connection, a refused certificate, a body cut short) are exceptions instead.
struct HttpResult {
  int status = 0;
  std::string status_line;  // as sent, "HTTP/1.1 404 Not Found": what a message quotes
  std::string address;      // as finally asked for: the one given, or its https form
  std::string location;     // the "Location" value, trimmed; empty without one
  std::string content_type;
  std::string retry_after;  // the "Retry-After" value as sent: seconds or a date; may be empty
  std::string body;         // of an answer that is no success, as received; a success's went on
  bool tls = false;         // the answer came over TLS
  // The host resolved to the user's own machine or network (loopback, private, link-local).
  bool private_host = false;

  // A success, whose body the fetch delivered: 2xx, and no redirect.
  bool Ok() const { return status >= 200 && status <= 299 && location.empty(); }
  // An answer that points elsewhere: a 3xx, or any status with a "Location".
  bool Moved() const { return (IsRedirectStatus(status) && status != 304) || !location.empty(); }
  // The answer as the failure the client's fetches raise for it.
  [[noreturn]] void Raise() const;
};

}  // namespace tarn::net
