// SPDX-License-Identifier: MIT
#include "download/request_policy.h"

#include "base/text.h"
#include "download/service_refusal.h"

namespace tarn {
namespace {

constexpr std::string_view kAcceptLanguage = "zh-CN,zh;q=0.9";

class PlainPolicy final : public RequestPolicy {
 public:
  PlainPolicy(const DownloadJob& job, RequestPacer& pacer) : job_(job), pacer_(pacer) {}

  const RetryPolicy& Retry() const override { return job_.settings.retry; }
  bool BeforeRequest(net::HttpClient& client, Asked, const std::string&,
                     const std::stop_token& stop) override {
    client.SetBrowserHeaders(std::nullopt);
    return !stop.stop_requested();
  }
  void RequestEnded() override {}
  bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop) override {
    return pacer_.Sleep(pause, stop);
  }
  std::optional<int> Refusal(const net::HttpResult&, bool) const override { return std::nullopt; }
  bool WorthRetrying(const net::HttpResult& answer) const override {
    return net::IsWorthRetrying(answer);
  }
  std::optional<std::string> Refuses(std::string_view) const override { return std::nullopt; }

 private:
  const DownloadJob& job_;
  RequestPacer& pacer_;
};

class ServicePolicy final : public RequestPolicy {
 public:
  ServicePolicy(const DownloadJob& job, RequestPacer& pages, RequestPacer& pictures)
      : job_(job), pages_(pages), pictures_(pictures) {}

  const RetryPolicy& Retry() const override { return job_.settings.service_retry; }
  bool BeforeRequest(net::HttpClient& client, Asked asked, const std::string& referer,
                     const std::stop_token& stop) override {
    const bool picture = asked == Asked::kPicture;
    current_ = picture ? &pictures_ : &pages_;
    // A stop aborts the client: the fetch after it fails at once.
    current_->WaitTurn(stop);
    client.SetBrowserHeaders(net::BrowserHeaders{job_.service.user_agent,
                                                 std::string(picture ? kImageAccept : kPageAccept),
                                                 std::string(kAcceptLanguage), referer, picture});
    return !stop.stop_requested();
  }
  void RequestEnded() override { current_->RequestEnded(); }
  std::chrono::milliseconds SlowDown() override {
    current_->SlowDown();
    return current_->Pause();
  }
  bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop) override {
    return current_->Sleep(pause, stop);
  }
  std::optional<int> Refusal(const net::HttpResult& answer, bool raw_size) const override {
    return ServiceRefusal(answer, raw_size);
  }
  // A redirect the client did not follow answers the same way next time.
  bool WorthRetrying(const net::HttpResult& answer) const override {
    return !net::IsRedirectStatus(answer.status) && net::IsWorthRetrying(answer);
  }
  std::optional<std::string> Refuses(std::string_view address) const override {
    if (IsHttpsAddress(address)) return std::nullopt;
    return "这个地址不是 https 地址，为了安全没有读取：";
  }

 private:
  const DownloadJob& job_;
  RequestPacer& pages_;
  RequestPacer& pictures_;
  RequestPacer* current_ = &pages_;  // the pacer of the request under way, or of the last
};

}  // namespace

bool IsHttpsAddress(std::string_view address) {
  return address.size() >= 8 && EqualsIgnoringAsciiCase(address.substr(0, 8), "https://");
}

std::unique_ptr<RequestPolicy> MakePlainPolicy(const DownloadJob& job, RequestPacer& pacer) {
  return std::make_unique<PlainPolicy>(job, pacer);
}

std::unique_ptr<RequestPolicy> MakeServicePolicy(const DownloadJob& job, RequestPacer& pages,
                                                 RequestPacer& pictures) {
  return std::make_unique<ServicePolicy>(job, pages, pictures);
}

}  // namespace tarn
