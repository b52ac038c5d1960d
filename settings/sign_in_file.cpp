// SPDX-License-Identifier: MIT
#include "settings/sign_in_file.h"

#include <algorithm>

#include "base/file_path.h"
#include "base/safe_replace.h"
#include "net/cookie/cookie_domain.h"
#include "net/http/integer_text.h"
#include "net/socket/dotted_ipv4.h"
#include "service/hosts.h"
#include "settings/app_paths.h"

namespace tarn {
namespace {

constexpr const char* kFileName = "cookies.txt";
constexpr int kHttpsPort = 443;
constexpr std::string_view kSignInCookie = "dbcl2";

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
  return {OriginOf(PhotoHost()), OriginOf(MovieHost()), OriginOf(SiteHost())};
}

net::CookieImport ReadUserCookies(std::string_view text) {
  const std::vector<net::ServiceOrigin> origins = ServiceOrigins();
  return net::ParseUserCookies(text, LineDomain(), [&](std::string_view domain) {
    return std::any_of(origins.begin(), origins.end(), [&](const net::ServiceOrigin& o) {
      return net::SignInDomainFits(o.host, domain);
    });
  });
}

net::SignIn ServiceSignIn(std::vector<net::UserCookie> cookies) {
  return {std::move(cookies), ServiceOrigins()};
}

std::string SignInProblem(const net::CookieImport& import) {
  if (import.too_large) return "内容太长，不像是 Cookie。";
  const auto& too_long = import.too_long;
  if (std::find(too_long.begin(), too_long.end(), kSignInCookie) != too_long.end())
    return "dbcl2 太长（超过 " + std::to_string(net::kMaxCookieLength) +
           " 字节），可能没有复制对。";
  if (import.cookies.empty()) return "没有豆瓣的 Cookie。";
  const bool signed_in = std::any_of(
      import.cookies.begin(), import.cookies.end(),
      [](const net::UserCookie& c) { return c.name == kSignInCookie && !c.value.empty(); });
  return signed_in ? std::string() : "没有 dbcl2：浏览器里可能没有登录豆瓣。";
}

SavedSignIn SignInOfText(std::string_view text, bool others_may_read) {
  if (text.size() > kMaxSignInBytes) return {{}, "文件太大，不是登录信息。", others_may_read};
  net::CookieImport import = ReadUserCookies(text);
  std::string problem = SignInProblem(import);
  if (!problem.empty()) import.cookies.clear();
  return {std::move(import.cookies), std::move(problem), others_may_read};
}

void SaveSignIn(const std::string& path, const std::vector<net::UserCookie>& cookies) {
  MakeSettingsFolder(Utf8FromPath(PathFromUtf8(path).parent_path()));
  ReplaceWithPrivateFile(path, net::WriteCookiesTxt(cookies));
}

std::string OthersMayReadMessage(const std::string& path) {
  return "登录信息文件别的用户也能读取：" + path + "\n仍然使用它；建议只让自己能读（chmod 600）。";
}

std::string UnusableSignInMessage(const std::string& path, const std::string& why) {
  return "保存的登录无法使用：" + why + "\n" + path;
}

std::string NotAFileMessage(const std::string& path) {
  return "登录信息不是普通文件：" + path + "\n请退出登录后重新保存。";
}

}  // namespace tarn
