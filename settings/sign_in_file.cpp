// SPDX-License-Identifier: MIT
#include "settings/sign_in_file.h"

#include <algorithm>
#include <filesystem>

#include "base/file_path.h"
#include "base/safe_replace.h"
#include "net/cookie/cookie_domain.h"
#include "net/http/integer_text.h"
#include "net/socket/dotted_ipv4.h"
#include "settings/app_paths.h"
#include "service/hosts.h"

namespace tarn {
namespace {

constexpr const char* kFileName = "cookies.txt";
constexpr int kHttpsPort = 443;
// Read and write for the owner alone: the file signs in as the user.
constexpr unsigned kOwnerOnly = 0600;

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
                          : Utf8FromPath(PathFromUtf8(settings).replace_filename(kFileName));
}

std::string SignInFilePath() {
  const ConfigEnvironment environment = ReadConfigEnvironment();
  return SignInFilePath(environment.config_home, environment.home);
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

void SaveSignIn(const std::string& path, const std::vector<net::UserCookie>& cookies) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(path).parent_path(), error);
  if (error) throw FileError("无法写入文件：" + path + "\n" + error.message());
  ReplaceFileContents(path, net::WriteCookiesTxt(cookies), kOwnerOnly);
}

std::string OthersMayReadMessage(const std::string& path) {
  return "登录信息文件别的用户也能读取：" + path + "\n仍然使用它；建议只让自己能读（chmod 600）。";
}

}  // namespace tarn
