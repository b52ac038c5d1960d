// SPDX-License-Identifier: MIT
#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "download/download_job.h"
#include "net/http/http_result.h"
#include "net/http/retry_rule.h"

namespace tarn {

// What a request asks for: a page of the service's page hosts, or a picture of its image hosts.
// Each kind keeps its own pace.
enum class Asked { kPage, kPicture };

// How a run speaks to its server: what it sends, how it waits, what it retries and what it
// takes for a refusal. Chosen once with the run's kind.
class RequestPolicy {
 public:
  virtual ~RequestPolicy() = default;

  virtual const RetryPolicy& Retry() const = 0;
  // Before each request: waits for its kind's turn and sets the client's heads; false when
  // stopped.
  virtual bool BeforeRequest(net::HttpClient& client, Asked asked, const std::string& referer,
                             const std::stop_token& stop) = 0;
  // The request is over, however it ended.
  virtual void RequestEnded() = 0;
  // The server asked the request's kind to slow down: its pause doubles for the rest of the
  // run. The pause now.
  virtual std::chrono::milliseconds SlowDown() { return {}; }
  // Waits out a retry's back-off; false when stopped.
  virtual bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop) = 0;
  // The status by which the server shut the run out, when `answer` is such an answer.
  virtual std::optional<int> Refusal(const net::HttpResult& answer, bool raw_size) const = 0;
  // Whether another try might change an answer that is no success, or a failure that is no
  // answer.
  virtual bool WorthRetrying(const net::HttpResult& answer) const = 0;
  virtual bool WorthRetrying(const std::exception& failure) const {
    return net::IsWorthRetrying(failure);
  }
  // Why `address` may not be asked for in this run, or nothing when it may.
  virtual std::optional<std::string> Refuses(std::string_view address) const = 0;
};

// The plain-HTTP run the program was first made for: the client's own heads, no pacing, the
// network's retry rule.
std::unique_ptr<RequestPolicy> MakePlainPolicy(const DownloadJob& job, RequestPacer& pacer);

// Today's service over HTTPS: a browser's heads, pages and pictures each spaced by a pacer of
// their own, backed-off retries, refusals that end the run, and never a request outside HTTPS.
std::unique_ptr<RequestPolicy> MakeServicePolicy(const DownloadJob& job, RequestPacer& pages,
                                                 RequestPacer& pictures);

inline constexpr std::string_view kPageAccept =
    "text/html,application/xhtml+xml,application/xml;q=0.9,image/avif,image/webp,*/*;q=0.8";
inline constexpr std::string_view kImageAccept =
    "image/avif,image/webp,image/apng,image/*,*/*;q=0.8";

bool IsHttpsAddress(std::string_view address);

}  // namespace tarn
