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

// Where the sign-in may go: https on the photo host, the film host and the sites' host.
std::vector<net::ServiceOrigin> ServiceOrigins();

// The cookies of a text the user gave, in either form, keeping those of the service's hosts.
// A Cookie line's cookies belong to the photo host's domain (".douban.com" for
// "www.douban.com", the host itself for an address or a name of fewer than three labels).
net::CookieImport ReadUserCookies(std::string_view text);

// The cookies as a run hands them to its client.
net::SignIn ServiceSignIn(std::vector<net::UserCookie> cookies);

// Why the cookies of a text sign nobody in, in the user's words; empty when they do. Only a
// non-empty dbcl2 is a sign-in.
std::string SignInProblem(const net::CookieImport& import);

// Most bytes of a sign-in file read: ours holds at most kMaxUserCookies cookies of at most
// kMaxCookieLength bytes, some 1.3 MB.
inline constexpr size_t kMaxSignInBytes = 2 << 20;

struct SavedSignIn {
  std::vector<net::UserCookie> cookies;  // none when unusable
  std::string unusable;                  // why it signs nobody in; empty when it does
  bool others_may_read = false;          // used all the same; the user is told once
};

// The saved sign-in, or nothing when there is no file. FileError when it cannot be read or is
// no regular file (a link, a FIFO, a folder); opening it never waits.
std::optional<SavedSignIn> LoadSignIn(const std::string& path);
// The saved sign-in of a file's text, read up to one byte beyond kMaxSignInBytes.
SavedSignIn SignInOfText(std::string_view text, bool others_may_read);
// Writes the file as a new one for its owner alone, in place of whatever stood there, in a
// folder made for the owner alone. FileError when it cannot be written.
void SaveSignIn(const std::string& path, const std::vector<net::UserCookie>& cookies);
// Signing out: the file goes. FileError when it stays.
void RemoveSignIn(const std::string& path);

// What the user is told of a sign-in file that others may read; of one that cannot be used.
std::string OthersMayReadMessage(const std::string& path);
std::string UnusableSignInMessage(const std::string& path, const std::string& why);
// That the thing at `path` is no regular file, as a FileError gives it.
std::string NotAFileMessage(const std::string& path);

}  // namespace tarn
