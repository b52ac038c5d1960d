// SPDX-License-Identifier: MIT
#include "download/run_manners.h"

#include "base/text.h"
#include "download/service_refusal.h"

namespace tarn {
namespace {

constexpr std::string_view kAcceptLanguage = "zh-CN,zh;q=0.9";

class PlainManners final : public RunManners {
 public:
  PlainManners(const DownloadJob& job, RequestPacer& pacer) : job_(job), pacer_(pacer) {}

  const RetryPolicy& Retry() const override { return job_.settings.retry; }
  bool BeforeRequest(net::HttpClient& client, std::string_view, const std::string&,
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

class ServiceManners final : public RunManners {
 public:
  ServiceManners(const DownloadJob& job, RequestPacer& pacer) : job_(job), pacer_(pacer) {}

  const RetryPolicy& Retry() const override { return job_.settings.service_retry; }
  bool BeforeRequest(net::HttpClient& client, std::string_view accept, const std::string& referer,
                     const std::stop_token& stop) override {
    // A stop aborts the client: the fetch after it fails at once.
    pacer_.WaitTurn(stop);
    client.SetBrowserHeaders(net::BrowserHeaders{job_.service.user_agent, std::string(accept),
                                                 std::string(kAcceptLanguage), referer});
    return !stop.stop_requested();
  }
  void RequestEnded() override { pacer_.RequestEnded(); }
  bool Sleep(std::chrono::milliseconds pause, const std::stop_token& stop) override {
    return pacer_.Sleep(pause, stop);
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
  RequestPacer& pacer_;
};

}  // namespace

bool IsHttpsAddress(std::string_view address) {
  return address.size() >= 8 && EqualsIgnoringAsciiCase(address.substr(0, 8), "https://");
}

std::unique_ptr<RunManners> MakePlainManners(const DownloadJob& job, RequestPacer& pacer) {
  return std::make_unique<PlainManners>(job, pacer);
}

std::unique_ptr<RunManners> MakeServiceManners(const DownloadJob& job, RequestPacer& pacer) {
  return std::make_unique<ServiceManners>(job, pacer);
}

}  // namespace tarn
