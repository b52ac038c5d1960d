// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

#include "net/socket/socket_errors.h"

namespace tarn::net {

// Family of failures told by the server's answer; never raised itself.
class EIdProtocolReplyError : public EIdException {
 protected:
  explicit EIdProtocolReplyError(std::string message) : EIdException(std::move(message)) {}
};

// An answer that is not a success: redirects, a "Location" header, any status outside 2xx.
class EIdHTTPProtocolException : public EIdProtocolReplyError {
 public:
  EIdHTTPProtocolException(int error_code, std::string status_line, std::string body,
                           std::string location = {})
      : EIdProtocolReplyError(std::move(status_line)),
        error_code_(error_code),
        body_(std::move(body)),
        location_(std::move(location)) {}
  int ErrorCode() const { return error_code_; }
  // The answer's body as received.
  const std::string& ErrorMessage() const { return body_; }
  // The answer's "Location" value, where a redirect points; empty without one.
  const std::string& Location() const { return location_; }

 private:
  int error_code_;
  std::string body_;
  std::string location_;
};

// A connection that cannot carry the address's scheme. The client speaks TLS now and no longer
// raises it; kept as a kind of the family that callers may still name.
class EIdIOHandlerPropInvalid : public EIdTCPConnectionError {
 public:
  EIdIOHandlerPropInvalid() : EIdTCPConnectionError("IOHandler value is not valid") {}
};

class EIdUnknownProtocol : public EIdException {
 public:
  EIdUnknownProtocol() : EIdException("") {}
};

}  // namespace tarn::net
