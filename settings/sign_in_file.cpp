// SPDX-License-Identifier: MIT
#include "settings/sign_in_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/safe_replace.h"
#include "net/cookie_domain.h"
#include "net/dotted_ipv4.h"
#include "net/integer_text.h"
#include "settings/app_paths.h"
#include "settings/config.h"

namespace tarn {
namespace {

constexpr const char* kFileName = "cookies.txt";
constexpr int kHttpsPort = 443;
// Read and write for the owner alone: the file signs in as the user.
constexpr unsigned kOwnerOnly = 0600;
constexpr mode_t kOthersRead = S_IRGRP | S_IROTH;

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error) {
  throw FileError("无法" + what + "文件：" + path + "\n" + std::strerror(error));
}

net::ServiceOrigin OriginOf(std::string_view host_and_port) {
  const size_t colon = host_and_port.rfind(':');
  if (colon == std::string_view::npos) return {std::string(host_and_port), kHttpsPort};
  return {std::string(host_and_port.substr(0, colon)),
          net::ParseInteger32(host_and_port.substr(colon + 1)).value_or(kHttpsPort)};
}

std::string LineDomain() {
  const std::string host = OriginOf(PhotoHost()).host;
  if (net::IsDottedIpv4(host) || std::count(host.begin(), host.end(), '.') < 2) return host;
  return host.substr(host.find('.'));
}

}  // namespace

std::string SignInFilePath(const char* config_home, const char* home) {
  const std::string settings = UserSettingsPath(config_home, home);
  return settings.empty() ? settings
                          : std::filesystem::path(settings).replace_filename(kFileName).string();
}

std::string SignInFilePath() {
  return SignInFilePath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::vector<net::ServiceOrigin> ServiceOrigins() {
  return {OriginOf(PhotoHost()), OriginOf(MovieHost())};
}

net::CookieImport ReadUserCookies(std::string_view text) {
  const std::vector<net::ServiceOrigin> origins = ServiceOrigins();
  return net::ParseUserCookies(text, LineDomain(), [&](std::string_view domain) {
    return std::any_of(origins.begin(), origins.end(), [&](const net::ServiceOrigin& o) {
      return net::HostWithinDomain(o.host, domain);
    });
  });
}

net::SignIn ServiceSignIn(std::vector<net::UserCookie> cookies) {
  return {std::move(cookies), ServiceOrigins()};
}

std::optional<SavedSignIn> LoadSignIn(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    if (errno == ENOENT) return std::nullopt;
    Fail("读取", path, errno);
  }
  struct stat status {};
  std::string text;
  int error = ::fstat(descriptor, &status) == 0 ? 0 : errno;
  char buffer[1 << 16];
  // One byte beyond the bound is enough to find a file too large.
  while (error == 0 && text.size() <= net::kMaxCookieText) {
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) error = errno;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  ::close(descriptor);
  if (error != 0) Fail("读取", path, error);
  return SavedSignIn{ReadUserCookies(text).cookies, (status.st_mode & kOthersRead) != 0};
}

void SaveSignIn(const std::string& path, const std::vector<net::UserCookie>& cookies) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (error) Fail("写入", path, error.value());
  ReplaceFileContents(path, net::WriteCookiesTxt(cookies), kOwnerOnly);
}

void RemoveSignIn(const std::string& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) Fail("删除", path, errno);
}

std::string OthersMayReadMessage(const std::string& path) {
  return "登录信息文件别的用户也能读取：" + path + "\n仍然使用它；建议只让自己能读（chmod 600）。";
}

}  // namespace tarn
