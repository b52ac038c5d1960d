// SPDX-License-Identifier: MIT
#include "download/fetcher.h"

#include <ctime>
#include <random>

#include "base/text.h"
#include "net/http/http_address.h"
#include "net/http/http_errors.h"
#include "net/http/internet_date.h"
#include "service/hosts.h"
#include "service/page_address.h"

namespace tarn {
namespace {

// Moves of a first page followed among the service's own pages, as a browser would follow a few.
constexpr int kMaxPageMoves = 5;
// The wait after a "slow down" without a Retry-After, doubled at each one in a row.
constexpr std::chrono::milliseconds kFirstSlowDownWait{30000};
// Longest wait a server's Retry-After gets: beyond it, the run is better stopped.
constexpr std::chrono::seconds kMaxSlowDownWait{600};
// Waits the user is told of: shorter ones pass as the run's own pace.
constexpr std::chrono::milliseconds kWaitWorthTelling{2000};
// "https://host[:port]/" of an address: the Referer of the first page, as after a visit to the
// service's home page.
std::string SiteRoot(std::string_view address) { return net::SiteOf(address) + "/"; }

// Where an old star address's answer moves it to: a redirect to another https page of the
// service's own page hosts (whatever its path; `Location` may be relative to `asked`), or
// nothing for anywhere else.
std::optional<std::string> StarPageHop(const net::HttpResult& answer) {
  if (!net::IsRedirectStatus(answer.status) || answer.location.empty()) return std::nullopt;
  net::HttpTarget target;
  target.Resolve(net::SplitAddress(answer.address));
  target.Resolve(net::SplitAddress(answer.location));
  if (!EqualsIgnoringAsciiCase(target.scheme, "https")) return std::nullopt;
  const std::string host = target.HostValue();
  if (!EqualsIgnoringAsciiCase(host, PhotoHost()) && !EqualsIgnoringAsciiCase(host, MovieHost()))
    return std::nullopt;
  return "https://" + host + target.RequestTarget();
}

bool IsPageOf(std::string_view address, PageKind kind) {
  const std::optional<PageAddress> page = ReadPageAddress(address);
  return page && page->kind == kind;
}

}  // namespace

std::string SignInNeededMessage(bool signed_in) {
  return signed_in ? "登录已失效（豆瓣把请求转到了登录页面）：请重新登录后再下载。"
                   : "这个页面只有登录后才能看到：请先登录（窗口里的“登录”，或 tarn-get "
                     "--cookies），再下载。";
}

Fetcher::Fetcher(const DownloadJob& job, std::stop_token stop)
    : job_(job),
      stop_(std::move(stop)),
      client_(job.settings.timeouts),
      pacer_(job.pacer ? job.pacer
                       : std::make_shared<RequestPacer>(job.service.pause, std::random_device{}())),
      image_pacer_(job.image_pacer ? job.image_pacer
                                   : std::make_shared<RequestPacer>(job.service.image_pause,
                                                                    std::random_device{}())),
      plain_(MakePlainPolicy(job, *pacer_)),
      service_(MakeServicePolicy(job, *pacer_, *image_pacer_)),
      policy_(plain_.get()),
      // A stop wakes the fetch under way at once; every later one fails.
      abort_(stop_, [this] { client_.Abort(); }) {
  client_.SetSignIn(job.sign_in);
  client_.SetProxy(job.service.proxy);
}

Fetcher::~Fetcher() = default;

bool Fetcher::BeforeRequest(Asked asked, const std::string& referer) {
  return policy_->BeforeRequest(client_, asked, referer, stop_);
}

std::chrono::milliseconds Fetcher::SlowDownWait(const net::HttpResult& answer, int row) const {
  const std::string& after = answer.retry_after;
  std::optional<std::chrono::seconds> asked;
  if (!after.empty() && after.find_first_not_of("0123456789") == std::string::npos) {
    asked = std::chrono::seconds(after.size() > 9 ? kMaxSlowDownWait.count() : std::stoll(after));
  } else if (const std::optional<std::time_t> until = net::ReadInternetDate(after)) {
    asked = std::chrono::seconds(std::max<std::time_t>(*until - std::time(nullptr), 0));
  }
  // Without a word from the server: half a minute, doubled at each ask in a row.
  const std::chrono::milliseconds wait =
      asked ? std::chrono::milliseconds(*asked) : kFirstSlowDownWait * (1 << (row - 1));
  return std::min<std::chrono::milliseconds>(wait, kMaxSlowDownWait);
}

bool Fetcher::WaitBeforeTry(std::chrono::milliseconds pause, const std::string& why) {
  if (pause > kWaitWorthTelling && tell_wait_) tell_wait_(pause, why);
  return policy_->Sleep(pause, stop_);
}

std::variant<FirstPage, RunEnd> Fetcher::FetchFirstPage() {
  FirstPage first;
  std::string error;
  net::HttpResult answer;
  bool ok = false, elsewhere = false;
  try {
    ok = WithRetries(
        [&](int) {
          // Read afresh at every attempt; an https address makes the run one of today's service
          // from its first request on.
          first.address = job_.Now().address;
          policy_ = IsHttpsAddress(first.address) ? service_.get() : plain_.get();
          BeforeRequest(Asked::kPage, SiteRoot(first.address));
          client_.FollowUpgrades(false);
          const bool old_star = IsPageOf(first.address, PageKind::kOldStarPhotos);
          for (int moves = 0;; ++moves) {
            answer = client_.GetText(first.address, first.body);
            if (answer.Ok()) break;
            std::optional<std::string> moved;
            if (net::IsUpgradeRedirect(answer.status, answer.location, first.address)) {
              moved = answer.location;
              // The server moved the page to https: today's service, with its manners and its
              // refusals from this request on.
              policy_ = service_.get();
            } else if (old_star && policy_ == service_.get() && moves < kMaxPageMoves &&
                       !policy_->Refusal(answer, false)) {
              // The service moves an old star address through pages of its own hosts.
              moved = StarPageHop(answer);
            }
            if (!moved) return answer;
            // Each hop is a request of its own: the next one waits its turn.
            policy_->RequestEnded();
            first.address = std::move(*moved);
            BeforeRequest(Asked::kPage, SiteRoot(first.address));
          }
          // Only a star's photo list is where an old star address may end.
          elsewhere = old_star && !IsPageOf(first.address, PageKind::kStarPhotos);
          return answer;
        },
        error);
  } catch (const net::ETlsSetupError& failure) {
    return RunEnd{RunResult::Stop::kSecure, InsecureMessage(failure)};
  } catch (const net::EProxyError& failure) {
    return RunEnd{RunResult::Stop::kProxy, ProxyMessage(failure)};
  }
  client_.FollowUpgrades(true);
  if (ok && elsewhere) {
    ok = false;
    error = "豆瓣把旧的影人地址转到了不是明星照片的页面：" + QuotedText(first.address);
  }
  if (!ok)
    return RunEnd{RunResult::Stop::kAlbumPage,
                  "无法获取相册页面：" + QuotedText(first.address) + "\n" + error};
  // Photos may come from the loopback or a private network only when the album does.
  client_.AllowPrivateHosts(answer.private_host);
  first.secure = answer.tls;
  return first;
}

std::optional<std::string> Fetcher::FetchText(const std::string& address,
                                              const std::string& referer, std::string& error) {
  std::string page;
  const auto fetch = [&](int) {
    BeforeRequest(Asked::kPage, referer);
    return client_.GetText(address, page);
  };
  int status = 0;
  bool ok = WithRetries(fetch, error, &status);
  // A site's page answers 404 for a while and then 200 again: worth one later try.
  const auto& pauses = policy_->Retry().pauses;
  if (!ok && status == net::kNotFound && !pauses.empty() &&
      (IsPageOf(address, PageKind::kSitePhotos) || IsPageOf(address, PageKind::kSiteAlbum)) &&
      WaitBeforeTry(pauses.back(), "小站的页面暂时找不到"))
    ok = WithRetries(fetch, error, &status);
  if (!ok) return std::nullopt;
  return page;
}

std::optional<std::string> Fetcher::FetchPartPage(const std::string& address,
                                                  const std::string& referer, std::string& error) {
  try {
    return FetchText(address, referer, error);
  } catch (const SignInNeeded&) {
    error = SignInNeededMessage(!job_.sign_in.cookies.empty());
  }
  return std::nullopt;
}

// Nothing more is fetched from a service whose secure connection failed: the message names the
// address and the reason.
std::string Fetcher::InsecureMessage(const std::exception& failure) const {
  return "无法建立安全连接：" + QuotedText(client_.LastAddress()) + "\n" +
         QuotedText(failure.what());
}

std::string Fetcher::ProxyMessage(const std::exception& failure) const {
  return "无法通过代理读取：" + QuotedText(client_.LastAddress()) + "\n" + failure.what();
}

}  // namespace tarn
