// SPDX-License-Identifier: MIT
#include "download/service_refusal.h"

#include <string_view>

#include "base/text.h"
#include "net/http/http_address.h"
#include "net/http/http_errors.h"

namespace tarn {
namespace {

constexpr int kForbidden = 403;
constexpr int kTeapot = 418;
constexpr int kTooManyRequests = 429;

bool IsRedirect(int status) { return status >= 300 && status <= 399; }

// The captcha page or the security host: where the service sends a client it has had enough of.
bool PointsAtTheGate(std::string_view location) {
  if (location.empty()) return false;
  const net::AddressParts parts = net::SplitAddress(location);
  const std::string host = AsciiUpper(parts.host);
  return (parts.directory == "/misc/" && parts.document == "sorry") || host.starts_with("SEC.");
}

}  // namespace

std::optional<int> ServiceRefusal(const std::exception& failure, bool raw_size) {
  const auto* answer = dynamic_cast<const net::EIdHTTPProtocolException*>(&failure);
  if (answer == nullptr) return std::nullopt;
  const int status = answer->ErrorCode();
  if (status == kTeapot || status == kTooManyRequests) return status;
  if (status == kForbidden && !raw_size) return status;
  if ((IsRedirect(status) || !answer->Location().empty()) && PointsAtTheGate(answer->Location()))
    return status;
  return std::nullopt;
}

std::string RefusalMessage(int status, int saved) {
  return "豆瓣拒绝了这次下载（HTTP " + std::to_string(status) + "），下载已停止。\n已保存 " +
         std::to_string(saved) +
         " 张照片。\n最好等一段时间（几个小时）再试；再次下载这个相册时，已保存的照片会被跳过。";
}

}  // namespace tarn
