// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarn::net {

// A cookie the user brought from a browser, with the fields of a cookies.txt line.
struct UserCookie {
  std::string domain;  // ".douban.com", or a host
  bool include_subdomains = true;
  std::string path = "/";
  bool secure = false;
  int64_t expiry = 0;  // seconds since 1970; 0 for a cookie that lives as long as the session
  std::string name;
  std::string value;  // a secret: never printed, logged or written anywhere but the cookie file
  bool http_only = false;

  bool operator==(const UserCookie&) const = default;
};

// A host and port the service answers on over TLS. Cookie rules ignore ports, but two services
// on one machine (a replica's pages and its image host) differ only there.
struct ServiceOrigin {
  std::string host;
  int port = 443;
};

// The user's sign-in as a run hands it to its client: the cookies go only over TLS and only to
// these origins. No cookies: the run is signed out.
struct SignIn {
  std::vector<UserCookie> cookies;
  std::vector<ServiceOrigin> origins;
};

}  // namespace tarn::net
