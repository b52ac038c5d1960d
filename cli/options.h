// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "net/cookie/sign_in.h"
#include "settings/user_settings.h"

namespace tarn::cli {

// Exit statuses of tarn-get.
enum ExitStatus : int {
  kExitAllSaved = 0,
  kExitPhotosMissing = 1,
  kExitBadArguments = 2,
  kExitRefused = 3,
  kExitAlbumUnavailable = 4,
  kExitInterrupted = 130,
};

struct Options {
  std::vector<std::string> albums;  // from the command line, then from --input, in order
  std::string folder = ".";
  bool first_page = false;
  ServiceSettings service;  // the user's Config.ini, then the options
  bool quiet = false;
  // From --cookies, else the window's saved sign-in; empty with --no-cookies or neither.
  net::SignIn sign_in;
};

// The command line read and checked, over the service settings the user keeps, with the addresses
// of --input added; or the exit status when the program is done already (help or version printed:
// 0; a mistake explained on standard error: kExitBadArguments).
std::variant<Options, int> ParseOptions(int argc, char** argv, const ServiceSettings& kept);

// Album addresses of a list: one a line, blanks ignored, '#' at a line's start or after a
// blank starts a comment.
std::vector<std::string> ReadAddressList(std::string_view text);

}  // namespace tarn::cli
