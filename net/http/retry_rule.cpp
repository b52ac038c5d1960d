// SPDX-License-Identifier: MIT
#include "net/http/retry_rule.h"

#include "base/str_to_int.h"
#include "net/http/http_errors.h"
#include "net/proxy/proxy_errors.h"
#include "net/stream/file_stream.h"
#include "net/stream/transfer_errors.h"

namespace tarn::net {
namespace {

constexpr int kRequestTimeout = 408;

bool IsPermanentAnswer(int status) {
  return status >= 400 && status <= 499 && status != kRequestTimeout && status != kTooManyRequests;
}

}  // namespace

bool IsWorthRetrying(const HttpResult& answer) { return !IsPermanentAnswer(answer.status); }

bool IsWorthRetrying(const std::exception& failure) {
  if (const auto* answer = dynamic_cast<const EIdHTTPProtocolException*>(&failure)) {
    return !IsPermanentAnswer(answer->ErrorCode());
  }
  return dynamic_cast<const EAddressRefused*>(&failure) == nullptr &&
         dynamic_cast<const EIdUnknownProtocol*>(&failure) == nullptr &&
         dynamic_cast<const EIdIOHandlerPropInvalid*>(&failure) == nullptr &&
         dynamic_cast<const EConvertError*>(&failure) == nullptr &&
         dynamic_cast<const EBodyTooLarge*>(&failure) == nullptr &&
         dynamic_cast<const EProxyError*>(&failure) == nullptr &&
         dynamic_cast<const FileStreamError*>(&failure) == nullptr;
}

}  // namespace tarn::net
