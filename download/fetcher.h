// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>

#include "base/cut_text.h"
#include "download/download_job.h"
#include "download/request_policy.h"
#include "download/run_report.h"
#include "download/sign_in_check.h"
#include "net/proxy/proxy_errors.h"
#include "net/stream/file_stream.h"
#include "net/tls/tls_errors.h"

namespace tarn {

// The first page of a run as it came: what chooses the run's kind.
struct FirstPage {
  std::string address;  // as finally asked for: the one given, or its https form
  std::string body;     // the page's bytes
  bool secure = false;  // it came over TLS
};

// The service shut the run out: nothing more is asked of it.
struct ServiceRefused {
  int status;
};

// The service sent the request to its sign-in page: signed out, or the sign-in has expired.
struct SignInNeeded {};

// The third "slow down" in a row is the service's refusal.
inline constexpr int kMaxSlowDownsInRow = 3;

// What the user is told when the service asks for a sign-in: `signed_in` runs have expired.
std::string SignInNeededMessage(bool signed_in);

// A run's requests: the client, the manners of its server (pacing, heads, retries, refusals)
// and the stop. Fetches give what they got or why not; a refusal (ServiceRefused), a sign-in
// page (SignInNeeded), a secure connection that cannot be made (net::ETlsSetupError) and a
// proxy that cannot be used (net::EProxyError) are
// raised, since they end the run wherever they come.
class Fetcher {
 public:
  Fetcher(const DownloadJob& job, std::stop_token stop);
  ~Fetcher();

  bool Cancelled() const { return stop_.stop_requested(); }
  net::HttpClient& Client() { return client_; }
  RequestPolicy& Policy() { return *policy_; }

  // The first page, read from the address box at every attempt; an https address, or an http
  // one the server upgrades, makes the run speak as today's service wants from that request
  // on. The end of the run when it cannot be had.
  std::variant<FirstPage, RunEnd> FetchFirstPage();

  // A page of the run's service, with the run's manners and retries (a site's page that answers
  // 404 once more, after the longest pause); nothing, with `error`,
  // when it cannot be had.
  std::optional<std::string> FetchText(const std::string& address, const std::string& referer,
                                       std::string& error);
  // The same for a page after a list's first: a sign-in page is only a page that cannot be had.
  std::optional<std::string> FetchPartPage(const std::string& address, const std::string& referer,
                                           std::string& error);

  // Runs `fetch(attempt)`, which gives the server's answer, with the run's manners until the
  // answer is a success, the tries are used up, the run stops, or an answer or a failure that
  // another try cannot change. A file failure passes through. `status` is the last HTTP status
  // or 0; `raw_size`: the original size is asked for, which the service refuses to everyone (a
  // 403 is no ban then).
  template <class Fetch>
  bool WithRetries(Fetch&& fetch, std::string& error, int* status = nullptr, bool raw_size = false);

  // Sets up the next request: its kind's turn, its heads (`referer` for the service).
  bool BeforeRequest(Asked asked, const std::string& referer);
  // Who hears of a wait long enough to tell the user of.
  void OnLongWait(std::function<void(std::chrono::milliseconds, const std::string&)> tell) {
    tell_wait_ = std::move(tell);
  }

  // The message of a secure connection that failed: the address and the reason.
  std::string InsecureMessage(const std::exception& failure) const;
  // The message of a proxy that could not be used: the address and the proxy's failure.
  std::string ProxyMessage(const std::exception& failure) const;

 private:
  const DownloadJob& job_;
  std::stop_token stop_;
  net::HttpClient client_;
  // Waits before a try after the server asked to slow down; `row`: its asks in a row so far.
  std::chrono::milliseconds SlowDownWait(const net::HttpResult& answer, int row) const;
  // Waits `pause` before the next try, telling a long one; false when stopped.
  bool WaitBeforeTry(std::chrono::milliseconds pause, const std::string& why);

  std::shared_ptr<RequestPacer> pacer_;
  std::shared_ptr<RequestPacer> image_pacer_;
  std::unique_ptr<RequestPolicy> plain_;
  std::unique_ptr<RequestPolicy> service_;
  RequestPolicy* policy_;  // one of the two: the service's once the run speaks to it
  std::stop_callback<std::function<void()>> abort_;
  std::function<void(std::chrono::milliseconds, const std::string&)> tell_wait_;
  int slow_downs_ = 0;  // the server's asks to slow down, in a row
};

template <class Fetch>
bool Fetcher::WithRetries(Fetch&& fetch, std::string& error, int* status, bool raw_size) {
  std::optional<std::pair<std::chrono::milliseconds, std::string>> wait;  // before the next try
  for (int attempt = 1; attempt <= std::max(1, policy_->Retry().attempts);) {
    if (wait && !WaitBeforeTry(wait->first, wait->second)) return false;
    wait.reset();
    if (Cancelled()) return false;
    try {
      // The pause before the next request counts from the end of this one, however it ends.
      // Told to the manners the request ended with: the first page may change them.
      const struct Ended {
        Fetcher& fetcher;
        ~Ended() { fetcher.policy_->RequestEnded(); }
      } ended{*this};
      const net::HttpResult answer = fetch(attempt);
      if (answer.Ok()) {
        slow_downs_ = 0;
        return true;
      }
      error = QuotedText(answer.status_line);
      if (status != nullptr) *status = answer.status;
      if (answer.status == net::kTooManyRequests && policy_ == service_.get()) {
        // "Slow down": wait as asked, keep this kind slower, and try again without using a try;
        // asked once too often in a row, it is a refusal.
        if (++slow_downs_ >= kMaxSlowDownsInRow) throw ServiceRefused{answer.status};
        wait.emplace(SlowDownWait(answer, slow_downs_), "豆瓣要求放慢速度");
        policy_->SlowDown();
        continue;
      }
      slow_downs_ = 0;
      if (const std::optional<int> refusal = policy_->Refusal(answer, raw_size))
        throw ServiceRefused{*refusal};
      if (policy_ == service_.get() && IsSignInRedirect(answer)) throw SignInNeeded{};
      if (!policy_->WorthRetrying(answer)) return false;
    } catch (const net::FileStreamError&) {
      throw;
    } catch (const net::ETlsSetupError&) {
      throw;  // a certificate or handshake that failed fails again
    } catch (const net::EProxyError&) {
      throw;  // so does the proxy
    } catch (const std::exception& failure) {
      error = QuotedText(failure.what());
      if (status != nullptr) *status = 0;
      if (!policy_->WorthRetrying(failure)) return false;
    }
    const auto& pauses = policy_->Retry().pauses;
    if (++attempt > 1 && !pauses.empty())
      wait.emplace(pauses[std::min<size_t>(static_cast<size_t>(attempt - 2), pauses.size() - 1)],
                   "重试之前");
  }
  return false;
}

}  // namespace tarn
