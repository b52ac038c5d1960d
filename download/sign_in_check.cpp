// SPDX-License-Identifier: MIT
#include "download/sign_in_check.h"

#include <algorithm>

#include "base/clean_text.h"
#include "base/cut_text.h"
#include "base/text.h"
#include "download/html_text.h"
#include "download/request_policy.h"
#include "download/service_refusal.h"
#include "net/http/http_address.h"
#include "net/http/http_errors.h"

namespace tarn {
namespace {

constexpr std::string_view kSignInCookie = "dbcl2";
// Longest name shown, in bytes: a page's title is the service's to make as long as it likes.
constexpr size_t kMaxNameBytes = 120;

// The text of the page's <title>, which on the person's own page is their name.
std::string PageName(std::string_view page) {
  const std::optional<std::string_view> title = PageTitle(page);
  if (!title) return {};
  const std::string text = DecodeHtmlEntities(Trim(*title));
  return CutUtf8(CleanText(Trim(text)), kMaxNameBytes);
}

}  // namespace

std::string PersonIdOf(const std::vector<net::UserCookie>& cookies) {
  const auto cookie = std::find_if(cookies.begin(), cookies.end(), [](const net::UserCookie& c) {
    return c.name == kSignInCookie;
  });
  if (cookie == cookies.end()) return {};
  std::string_view value = cookie->value;
  if (value.starts_with('"')) value.remove_prefix(1);
  const std::string_view id = value.substr(0, value.find(':'));
  const bool digits =
      !id.empty() && id.size() < value.size() &&
      std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
  return digits ? std::string(id) : std::string();
}

bool IsSignInRedirect(const net::HttpResult& answer) {
  if (answer.location.empty()) return false;
  return AsciiUpper(net::SplitAddress(answer.location).host).starts_with("ACCOUNTS.");
}

SignInCheck CheckSignIn(const net::SignIn& sign_in, std::string_view photo_host,
                        const ServiceSettings& service, std::stop_token stop,
                        const net::HttpTimeouts& timeouts) {
  SignInCheck check;
  check.person_id = PersonIdOf(sign_in.cookies);
  const std::string root = "https://" + std::string(photo_host) + "/";
  net::HttpClient client(timeouts);
  client.SetSignIn(sign_in);
  client.SetProxy(service.proxy);
  DownloadJob job;
  job.service = service;
  RequestPacer pacer(service.pause, 0);  // one request: it goes at once
  MakeServicePolicy(job, pacer, pacer)->BeforeRequest(client, Asked::kPage, root, stop);
  const std::stop_callback abort(stop, [&client] { client.Abort(); });
  try {
    std::string page;
    const net::HttpResult answer = client.GetText(root + "mine/", page);
    if (answer.Ok()) {
      check.outcome = SignInCheck::Outcome::kSignedIn;
      check.name = PageName(net::HttpClient::Utf8ToAnsi(page));
    } else if (IsSignInRedirect(answer)) {
      check.outcome = SignInCheck::Outcome::kExpired;
    } else if (const std::optional<int> status = ServiceRefusal(answer, false)) {
      check.outcome = SignInCheck::Outcome::kRefused;
      check.status = *status;
    } else {
      check.failure = QuotedText(answer.status_line);
    }
  } catch (const std::exception& failure) {
    check.failure = QuotedText(failure.what());
  }
  return check;
}

std::string SignInCheckMessage(const SignInCheck& check) {
  switch (check.outcome) {
    case SignInCheck::Outcome::kSignedIn: {
      std::string text = "已登录";
      if (!check.name.empty()) text += "：" + check.name;
      if (!check.person_id.empty()) text += "（用户 " + check.person_id + "）";
      return text;
    }
    case SignInCheck::Outcome::kExpired:
      return "登录已失效：Cookie 已过期或有误。请在浏览器里重新登录豆瓣后再复制一次。";
    case SignInCheck::Outcome::kRefused:
      return "豆瓣拒绝了这次检查（HTTP " + std::to_string(check.status) +
             "）。请过一段时间（几个小时）再试。";
    case SignInCheck::Outcome::kFailed:
      break;
  }
  return "无法检查登录：" + check.failure;
}

}  // namespace tarn
