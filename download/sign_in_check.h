// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "download/download_job.h"
#include "net/cookie/sign_in.h"
#include "net/http/http_client.h"

namespace tarn {

// What the service said of a sign-in.
struct SignInCheck {
  enum class Outcome {
    kSignedIn,
    kExpired,  // sent to the sign-in page: the cookies are expired or wrong
    kRefused,  // the service shut the request out
    kFailed,   // any other failure
  };
  Outcome outcome = Outcome::kFailed;
  std::string person_id;  // the number before ":" in dbcl2; empty when there is none
  std::string name;       // the page's name, when it has one
  int status = 0;         // the refusal's HTTP status
  std::string failure;    // what went wrong, for kFailed
};

// Asks https://<photo_host>/mine/ with the sign-in, as a run asks for its first page. A stop
// breaks the request off (kFailed).
SignInCheck CheckSignIn(const net::SignIn& sign_in, std::string_view photo_host,
                        const ServiceSettings& service, std::stop_token stop = {},
                        const net::HttpTimeouts& timeouts = {});

// The check in words for the user; never a cookie's value.
std::string SignInCheckMessage(const SignInCheck& check);

// A redirect to the service's sign-in host ("accounts."): the run is signed out.
bool IsSignInRedirect(const net::HttpResult& answer);

// The person's id in a sign-in's dbcl2 cookie ("12345678:…", quoted or not); empty without one.
std::string PersonIdOf(const std::vector<net::UserCookie>& cookies);

}  // namespace tarn
