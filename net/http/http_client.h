// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/cookie/cookie_store.h"
#include "net/http/http_address.h"
#include "net/http/http_answer_head.h"
#include "net/http/http_request_head.h"
#include "net/http/http_result.h"
#include "net/proxy/proxy_rules.h"
#include "net/proxy/proxy_url.h"
#include "net/socket/socket_connection.h"
#include "net/socket/socket_layer.h"
#include "net/stream/output_stream.h"
#include "net/stream/transfer_limits.h"
#include "net/tls/tls_context.h"

namespace tarn::net {

// How long the client waits. Tests shorten them; the program keeps the defaults.
struct HttpTimeouts {
  // A connect that hangs would block the worker until the system gives up, minutes later.
  std::chrono::milliseconds connect{30000};
  // A server that goes silent must not hold a fetch forever.
  std::chrono::milliseconds idle_read{60000};
  // Each wait while the body of a failed answer is read.
  std::chrono::milliseconds error_body{2000};
  // The look at a kept connection before it is reused.
  std::chrono::milliseconds probe{1};
  // Most body bytes FetchToStream takes (EBodyTooLarge beyond).
  uint64_t max_stream_body = kMaxPhotoBytes;
  // A transfer slower than this over each window fails like a silent one.
  uint64_t min_bytes_per_second = kMinBytesPerSecond;
  std::chrono::milliseconds rate_window = kRateWindow;
};

// Most body bytes FetchText keeps in memory.
inline constexpr uint64_t kMaxTextBody = 64ull << 20;

// A redirect that only moves the very address asked for from http to https. Following it
// changes nothing about the request but its protection, so it is the one redirect followed.
bool IsUpgradeRedirect(int status, std::string_view location, std::string_view address);

// The program's HTTP/1.1 client: GET of "http" and "https" addresses over one kept connection,
// cookies kept per client, redirects not followed except the upgrade of an address to https.
// Certificates are always checked. One per thread, never shared; every failure is an exception
// derived from EIdException (or tarn::EConvertError for a bad port) and nothing is retried.
// TLS failures are ETlsError kinds; ETlsSetupError among them will fail the same way again.
class HttpClient {
 public:
  explicit HttpClient(HttpTimeouts timeouts = {});
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // The answer, of any status; a success's body into `text`. Pages beyond kMaxTextBody fail
  // with EIdException.
  HttpResult GetText(std::string_view address, std::string& text);
  // The answer, of any status; a success's body into `stream` from its position on. A body
  // beyond max_stream_body fails with EBodyTooLarge, an announced one before any byte.
  // Afterwards, also after a failure, the position stands after the last byte that arrived
  // and the stream ends there.
  HttpResult GetToStream(std::string_view address, OutputStream& stream);

  // The same, with an answer that is no success raised as EIdHTTPProtocolException.
  std::string FetchText(std::string_view address);
  void FetchToStream(std::string_view address, OutputStream& stream);

  // Every later request speaks as this browser (with its Referer), or, without one, as the
  // client itself.
  void SetBrowserHeaders(std::optional<BrowserHeaders> headers) { browser_ = std::move(headers); }

  // Every later request carries the user's sign-in where the sign-in's origins allow (over TLS,
  // to the service alone), merged with the service's own cookies. No cookies: nothing changes.
  void SetSignIn(const SignIn& sign_in);

  // Every later request goes through the proxy the rules give its address, or direct. A proxy
  // that cannot be used fails the fetch with EProxyError; nothing ever goes around it.
  void SetProxy(ProxyRules rules) { proxy_rules_ = std::move(rules); }

  // Whether an answer that moves the very address asked for from http to https is followed
  // (the default), or fails like any redirect, for a caller that changes its ways with it.
  void FollowUpgrades(bool follow) { follow_upgrades_ = follow; }

  // A fetched UTF-8 page in the program's 8-bit encoding; empty when the page is malformed.
  static std::string Utf8ToAnsi(std::string_view utf8);

  // From any thread: the fetch under way and every later one fail with EIdException. For a
  // window that closes while a worker is still fetching.
  void Abort();

  // Whether hosts that resolve to the user's own machine or network (loopback, private,
  // link-local) may be reached; refused ones fail with EAddressRefused before any connect.
  // Allowed unless set otherwise.
  void AllowPrivateHosts(bool allowed) { connection_.AllowPrivateAddresses(allowed); }
  // The address the last fetch finally asked for, for a failure that is no answer and so
  // gives no result: the one given, or its https form after an upgrade. Empty before.
  const std::string& LastAddress() const { return last_address_; }

 private:
  HttpResult Get(std::string_view address, OutputStream& destination);
  // One request into `result`; false when the answer was an upgrade redirect that
  // `may_upgrade` allows, read whole and to be followed.
  bool FetchOnce(std::string_view address, OutputStream& destination, bool may_upgrade,
                 HttpResult& result);
  // The proxy of the target's address, if any, into route_.
  void ChooseRoute();
  // Plain http through an HTTP proxy: the proxy itself answers, asked in absolute form.
  bool AsksProxyItself() const;
  void ChooseConnection();
  const TlsContext& Tls();
  RequestHeadFields RequestFields();
  AnswerHead ReadHeads();
  // Reads the body of an answer that is no success into `result`, apart from the destination.
  void ReadFailedAnswer(const AnswerHead& head, HttpResult& result);
  void NoteAuthenticationChallenge(const AnswerHead& head);
  void KeepOrClose(const AnswerHead& head);

  SocketLayerUse socket_layer_;
  HttpTimeouts timeouts_;
  HttpTarget target_;
  SocketConnection connection_;
  std::string connection_host_;
  int connection_port_ = 0;
  bool connection_tls_ = false;
  std::string connection_proxy_;
  ProxyRules proxy_rules_;
  std::string route_text_;  // the proxy URL of the request under way, as written; empty: direct
  std::optional<ProxyUrl> route_;
  std::unique_ptr<TlsContext> tls_;  // made at the first https address
  std::string last_address_;
  std::unique_ptr<CookieStore> cookies_;
  std::optional<BrowserHeaders> browser_;
  bool follow_upgrades_ = true;
  bool send_authorization_ = false;
  bool send_proxy_authorization_ = false;
};

}  // namespace tarn::net
