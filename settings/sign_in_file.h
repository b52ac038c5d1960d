// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/cookie/cookie_import.h"
#include "net/cookie/sign_in.h"

namespace tarn {

// The sign-in's file: cookies.txt in the user's configuration folder (where Config.ini goes
// when the program's folder is read-only), whatever folder the program runs from. Empty when
// the environment names no such folder.
std::string SignInFilePath(const char* config_home, const char* home);
// The same for this process's XDG_CONFIG_HOME and HOME.
std::string SignInFilePath();

// Where the sign-in may go: https on the photo host and on the film host.
std::vector<net::ServiceOrigin> ServiceOrigins();

// The cookies of a text the user gave, in either form, keeping those of the service's hosts.
// A Cookie line's cookies belong to the photo host's domain (".douban.com" for
// "www.douban.com", the host itself for an address or a name of fewer than three labels).
net::CookieImport ReadUserCookies(std::string_view text);

// The cookies as a run hands them to its client.
net::SignIn ServiceSignIn(std::vector<net::UserCookie> cookies);

struct SavedSignIn {
  std::vector<net::UserCookie> cookies;
  bool others_may_read = false;  // used all the same; the user is told once
};

// The saved sign-in, or nothing when there is no file. FileError when it cannot be read.
std::optional<SavedSignIn> LoadSignIn(const std::string& path);
// Replaces the file safely; a new one is readable by its owner alone from its first byte.
// FileError when it cannot be written.
void SaveSignIn(const std::string& path, const std::vector<net::UserCookie>& cookies);
// Signing out: the file goes. FileError when it stays.
void RemoveSignIn(const std::string& path);

// What the user is told of a sign-in file that others may read.
std::string OthersMayReadMessage(const std::string& path);

}  // namespace tarn
