// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

#include "net/socket/socket_errors.h"

namespace tarn::net {

// Family of failures of an encrypted connection; never raised itself. Each names the host it
// talked to and OpenSSL's reason, for a message box that says what went wrong.
class ETlsError : public EIdException {
 public:
  const std::string& Host() const { return host_; }
  const std::string& Reason() const { return reason_; }

 protected:
  ETlsError(std::string message, std::string host, std::string reason)
      : EIdException(std::move(message)), host_(std::move(host)), reason_(std::move(reason)) {}

 private:
  std::string host_;
  std::string reason_;
};

// The encrypted connection could not be set up. Another try meets the same certificate or the
// same server settings, so callers never retry these; never raised itself.
class ETlsSetupError : public ETlsError {
 protected:
  using ETlsError::ETlsError;
};

// The server's certificate did not pass: untrusted chain, expired, issued for another name.
class ETlsCertificateError : public ETlsSetupError {
 public:
  ETlsCertificateError(std::string host, std::string reason)
      : ETlsSetupError("无法验证 " + host + " 的证书（" + reason +
                           "），连接已中止。请确认地址无误、本机日期和时间正确；"
                           "证书总会被检查，无法跳过。",
                       host, reason) {}
};

// The server and we found no common ground: no TLS at all, too old a version, an alert.
class ETlsHandshakeError : public ETlsSetupError {
 public:
  ETlsHandshakeError(std::string host, std::string reason)
      : ETlsSetupError("无法与 " + host + " 建立加密连接（" + reason +
                           "）。请确认该地址支持 HTTPS（TLS 1.2 或更新版本）。",
                       host, reason) {}
};

// The encrypted stream broke after the handshake (a bad record, an alert from the server).
class ETlsStreamError : public ETlsError {
 public:
  ETlsStreamError(std::string host, std::string reason)
      : ETlsError("与 " + host + " 的加密连接出错（" + reason + "），请稍后重试。", host, reason) {}
};

// The connection ended without the server's close notify: what came may be cut short.
class ETlsPeerClosedMidRecord : public ETlsError {
 public:
  explicit ETlsPeerClosedMidRecord(std::string host)
      : ETlsError(host + " 未结束加密会话就断开了连接，收到的数据可能不完整，请稍后重试。", host,
                  "unexpected eof while reading") {}
};

}  // namespace tarn::net
