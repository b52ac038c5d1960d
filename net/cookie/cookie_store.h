// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/cookie/sign_in.h"
#include "net/http/http_header.h"

namespace tarn::net {

// Cookies of one HTTP client: filled from every answer head, asked for the "Cookie" value of
// every request. Nothing is written to disk or shared between clients.
class CookieStore {
 public:
  // Gives the current time in seconds since 1970; tests pass their own.
  using Clock = std::function<std::time_t()>;

  CookieStore();  // on the system clock
  explicit CookieStore(Clock clock);
  ~CookieStore();
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  // Stores every cookie that the head's "Set-cookie" and "Set-cookie2" headers set.
  // request_host is the host the request went to; request_directory the request's directory
  // (from "/" up to and including its last "/"), which gives cookies without a path theirs.
  void TakeHead(const HttpHeaders& head, std::string_view request_host,
                std::string_view request_directory);

  // Adds the user's own cookies, as the service's answers would, each replacing a stored one
  // of its name and domain. These, and whatever the service later sets in their place, go only
  // to a `secure` request to one of the sign-in's origins. Cookies of a domain that is no
  // origin's site (SignInDomainFits) are not kept.
  void TakeSignIn(const SignIn& sign_in);

  // The "Cookie" header value for a request, or empty when no stored cookie applies. Cookies
  // marked secure apply only to a `secure` (TLS) request. Expired cookies are removed first.
  std::string CookieValueFor(std::string_view host, std::string_view directory, bool secure = false,
                             int port = 0);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::net
