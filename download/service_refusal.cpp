// SPDX-License-Identifier: MIT
#include "download/service_refusal.h"

#include <string_view>

#include "base/text.h"
#include "net/http/http_address.h"

namespace tarn {
namespace {

constexpr int kTeapot = 418;

// The captcha page or the security host: where the service sends a client it has had enough of.
bool PointsAtTheGate(std::string_view location) {
  if (location.empty()) return false;
  const net::AddressParts parts = net::SplitAddress(location);
  const std::string host = AsciiUpper(parts.host);
  return (parts.directory == "/misc/" && parts.document == "sorry") || host.starts_with("SEC.");
}

}  // namespace

std::optional<int> ServiceRefusal(const net::HttpResult& answer, bool raw_size) {
  const int status = answer.status;
  if (status == kTeapot || status == net::kTooManyRequests) return status;
  if (status == net::kForbidden && !raw_size) return status;
  if (answer.Moved() && PointsAtTheGate(answer.location)) return status;
  return std::nullopt;
}

std::string RefusalMessage(int status, int saved) {
  return "豆瓣拒绝了这次下载（HTTP " + std::to_string(status) + "），下载已停止。\n已保存 " +
         std::to_string(saved) +
         " 张照片。\n最好等一段时间（几个小时）再试；再次下载这个相册时，已保存的照片会被跳过。";
}

}  // namespace tarn
