// SPDX-License-Identifier: MIT
#include "net/http/http_client.h"

#include "base/str_to_int.h"
#include "base/text.h"
#include "net/http/http_body.h"
#include "net/http/http_errors.h"
#include "net/http/http_request_head.h"
#include "net/http/integer_text.h"
#include "net/http/utf8_to_ansi.h"
#include "net/proxy/proxy_tunnel.h"
#include "net/socket/address_guard.h"
#include "net/stream/capped_stream.h"
#include "net/stream/memory_stream.h"

namespace tarn::net {
namespace {

constexpr int kContinue = 100;
constexpr int kNoContent = 204;
constexpr int kNotModified = 304;
constexpr int kUnauthorized = 401;
constexpr int kProxyAuthenticationRequired = 407;
constexpr const char* kUndefinedSituation = "Undefined situation";
// Interim "100 Continue" heads taken before the answer: a server sends one, a stream of them
// would hold the fetch forever.
constexpr int kMaxInterimHeads = 16;

bool IsRedirect(const AnswerHead& head) {
  return (head.status_code >= 300 && head.status_code <= 399 && head.status_code != kNotModified) ||
         !head.Value("Location").empty();
}

bool IsHttps(std::string_view scheme) { return EqualsIgnoringAsciiCase(scheme, "https"); }

bool IsSuccess(int status_code) { return status_code >= 200 && status_code <= 299; }

bool ChallengesBasic(std::string_view challenge) {
  const std::string_view trimmed = Trim(challenge);
  return EqualsIgnoringAsciiCase(trimmed.substr(0, trimmed.find_first_of(" \t")), "Basic");
}

}  // namespace

bool IsUpgradeRedirect(int status, std::string_view location, std::string_view address) {
  constexpr std::string_view kPlain = "http://";
  constexpr std::string_view kSecure = "https://";
  switch (status) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308:
      break;
    default:
      return false;
  }
  return address.starts_with(kPlain) && location.starts_with(kSecure) &&
         location.substr(kSecure.size()) == address.substr(kPlain.size());
}

HttpClient::HttpClient(HttpTimeouts timeouts) : timeouts_(timeouts) {}

HttpClient::~HttpClient() = default;

HttpResult HttpClient::GetText(std::string_view address, std::string& text) {
  MemoryStream body(kMaxTextBody);
  HttpResult result = Get(address, body);
  if (result.Ok()) text = body.Take();
  return result;
}

HttpResult HttpClient::GetToStream(std::string_view address, OutputStream& stream) {
  CappedStream capped(stream, timeouts_.max_stream_body);
  return Get(address, capped);
}

std::string HttpClient::FetchText(std::string_view address) {
  std::string text;
  const HttpResult result = GetText(address, text);
  if (!result.Ok()) result.Raise();
  return text;
}

void HttpClient::FetchToStream(std::string_view address, OutputStream& stream) {
  const HttpResult result = GetToStream(address, stream);
  if (!result.Ok()) result.Raise();
}

void HttpResult::Raise() const {
  throw EIdHTTPProtocolException(status, status_line, body, location);
}

std::string HttpClient::Utf8ToAnsi(std::string_view utf8) {
  return Utf8ToCodePage(utf8, kAnsiCodePage);
}

void HttpClient::SetSignIn(const SignIn& sign_in) {
  if (sign_in.cookies.empty()) return;
  if (!cookies_) cookies_ = std::make_unique<CookieStore>();
  cookies_->TakeSignIn(sign_in);
}

void HttpClient::Abort() { connection_.Abort(); }

HttpResult HttpClient::Get(std::string_view address, OutputStream& destination) {
  RefuseUnsendableAddress(address);
  HttpResult result;
  if (FetchOnce(address, destination, follow_upgrades_, result)) return result;
  const std::string upgraded =
      "https://" + std::string(address.substr(std::string_view("http://").size()));
  FetchOnce(upgraded, destination, false, result);
  return result;
}

bool HttpClient::FetchOnce(std::string_view address, OutputStream& destination, bool may_upgrade,
                           HttpResult& result) {
  target_.Resolve(SplitAddress(address));
  last_address_ = address;
  ChooseRoute();
  // Built first, so that an address the head refuses never opens a connection.
  const std::string request = BuildRequestHead(RequestFields());
  result = HttpResult{};
  result.address = address;
  result.tls = IsHttps(target_.scheme);
  ChooseConnection();
  result.private_host = connection_.LastPeerWasPrivate();
  const RateRequirement pace(connection_.Input(),
                             {timeouts_.min_bytes_per_second, timeouts_.rate_window});
  try {
    connection_.Write(request);
    const AnswerHead head = ReadHeads();
    if (AsksProxyItself() && head.status_code == kProxyAuthenticationRequired)
      ThrowProxyAuthenticationWanted(*route_, "407");
    if (may_upgrade && head.complete &&
        IsUpgradeRedirect(head.status_code, head.Value("Location"), address)) {
      MemoryStream body(kMaxTextBody);
      ReadBody(connection_.Input(), head, body, timeouts_.error_body);
      KeepOrClose(head);
      return false;
    }
    result.status = head.status_code;
    result.status_line = head.status_line;
    result.location = std::string(Trim(head.Value("Location")));
    result.content_type = head.Value("Content-Type");
    result.retry_after = std::string(Trim(head.Value("Retry-After")));
    if (IsRedirect(head) || !IsSuccess(head.status_code)) {
      ReadFailedAnswer(head, result);
      return true;
    }
    if (!head.complete) throw EIdException(kUndefinedSituation);
    if (head.status_code == kNoContent) {
      destination.Truncate();
    } else {
      ReadBody(connection_.Input(), head, destination, timeouts_.idle_read);
    }
    KeepOrClose(head);
  } catch (...) {
    // Unread bytes of this answer may still be on the way: the next fetch starts afresh.
    connection_.Close();
    throw;
  }
  return true;
}

void HttpClient::ChooseRoute() {
  const std::string proxy = ProxyFor(proxy_rules_, IsHttps(target_.scheme), target_.host,
                                     ParseInteger32(target_.port).value_or(0));
  if (proxy == route_text_) return;  // read at an earlier request
  route_ = proxy.empty() ? std::nullopt : std::optional<ProxyUrl>(ParseProxyUrl(proxy));
  route_text_ = proxy;
}

bool HttpClient::AsksProxyItself() const {
  return route_ && route_->kind == ProxyKind::kHttp && !IsHttps(target_.scheme);
}

void HttpClient::ChooseConnection() {
  const int32_t port = StrToInt(target_.port);  // EConvertError for a port that is no number
  const bool tls = IsHttps(target_.scheme);
  // Every plain address asked of an HTTP proxy shares the one connection to it.
  const std::string host = AsksProxyItself() ? std::string() : target_.host;
  const int32_t kept_port = AsksProxyItself() ? 0 : port;
  if (!EqualsIgnoringAsciiCase(host, connection_host_) || kept_port != connection_port_ ||
      tls != connection_tls_ || route_text_ != connection_proxy_) {
    connection_.Close();
    connection_host_ = host;
    connection_port_ = kept_port;
    connection_tls_ = tls;
    connection_proxy_ = route_text_;
  }
  connection_.Probe(timeouts_.probe);
  if (!connection_.IsOpen()) {
    connection_.Open(target_.host, port, timeouts_.connect, tls ? &Tls() : nullptr,
                     route_ ? &*route_ : nullptr);
  }
}

const TlsContext& HttpClient::Tls() {
  if (!tls_) tls_ = std::make_unique<TlsContext>();
  return *tls_;
}

RequestHeadFields HttpClient::RequestFields() {
  RequestHeadFields fields;
  fields.target = target_.RequestTarget();
  if (AsksProxyItself()) {
    fields.target = "http://" + target_.HostValue() + fields.target;
    if (route_->has_credentials) fields.proxy_credentials = BasicCredentials(*route_);
  }
  if (!target_.host.empty()) fields.host = target_.HostValue();
  if (cookies_) {
    // A port that is no number matches no origin; the connection fails on it later.
    fields.cookie =
        cookies_->CookieValueFor(target_.host, target_.directory, IsHttps(target_.scheme),
                                 ParseInteger32(target_.port).value_or(0));
  }
  fields.authorization = send_authorization_;
  fields.proxy_authorization = send_proxy_authorization_;
  if (browser_) fields.browser = &*browser_;
  return fields;
}

AnswerHead HttpClient::ReadHeads() {
  for (int interim = 0;; ++interim) {
    AnswerHead head = ReadAnswerHead(connection_.Input(), timeouts_.idle_read);
    if (!cookies_) cookies_ = std::make_unique<CookieStore>();
    cookies_->TakeHead(head.headers, target_.host, target_.directory);
    if (head.status_code != kContinue) return head;
    if (interim == kMaxInterimHeads) {
      throw EIdException("More than " + std::to_string(kMaxInterimHeads) +
                         " interim answers before the answer.");
    }
  }
}

void HttpClient::ReadFailedAnswer(const AnswerHead& head, HttpResult& result) {
  if (!IsRedirect(head)) NoteAuthenticationChallenge(head);
  // The body is read apart from the caller's destination and with a short wait.
  MemoryStream body(kMaxTextBody);
  if (head.complete) ReadBody(connection_.Input(), head, body, timeouts_.error_body);
  KeepOrClose(head);
  result.body = body.Take();
}

void HttpClient::NoteAuthenticationChallenge(const AnswerHead& head) {
  if (head.status_code == kUnauthorized && ChallengesBasic(head.Value("WWW-Authenticate"))) {
    send_authorization_ = true;
  }
  if (head.status_code == kProxyAuthenticationRequired &&
      ChallengesBasic(head.Value("Proxy-Authenticate"))) {
    send_proxy_authorization_ = true;
  }
}

void HttpClient::KeepOrClose(const AnswerHead& head) {
  if (EqualsIgnoringAsciiCase(Trim(head.Value("Connection")), "close") ||
      EqualsIgnoringAsciiCase(Trim(head.Value("Proxy-Connection")), "close")) {
    connection_.Close();
  }
}

}  // namespace tarn::net
