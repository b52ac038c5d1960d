// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <utility>

#include "base/exception.h"

namespace tarn::net {

// Root of every failure of the HTTP client and the connection beneath it.
class EIdException : public Exception {
 public:
  using Exception::Exception;
};

// Families that group the kinds below; never raised themselves.
class EIdSilentException : public EIdException {
 protected:
  explicit EIdSilentException(std::string message) : EIdException(std::move(message)) {}
};
class EIdTCPConnectionError : public EIdException {
 protected:
  explicit EIdTCPConnectionError(std::string message) : EIdException(std::move(message)) {}
};
class EIdSocketHandleError : public EIdException {
 protected:
  explicit EIdSocketHandleError(std::string message) : EIdException(std::move(message)) {}
};
class EIdStackError : public EIdException {
 protected:
  explicit EIdStackError(std::string message) : EIdException(std::move(message)) {}
};

class EIdConnClosedGracefully : public EIdSilentException {
 public:
  EIdConnClosedGracefully() : EIdSilentException("Connection Closed Gracefully.") {}
};

// A failing socket call; the number is the Windows Sockets one, whatever the platform.
class EIdSocketError : public EIdException {
 public:
  explicit EIdSocketError(int number);
  int Number() const { return number_; }

 private:
  int number_;
};

class EIdReadTimeout : public EIdException {
 public:
  EIdReadTimeout() : EIdException("Read Timeout") {}
};

class EIdReadLnMaxLineLengthExceeded : public EIdException {
 public:
  EIdReadLnMaxLineLengthExceeded() : EIdException("Max line length exceeded.") {}
};

class EIdNotConnected : public EIdTCPConnectionError {
 public:
  EIdNotConnected() : EIdTCPConnectionError("Not Connected") {}
};

class EIdInvalidSocket : public EIdException {
 public:
  EIdInvalidSocket() : EIdException("Cannot allocate socket.") {}
};

class EIdCouldNotBindSocket : public EIdSocketHandleError {
 public:
  EIdCouldNotBindSocket()
      : EIdSocketHandleError("Could not bind socket. Address and port are already in use.") {}
};

class EIdStackInitializationFailed : public EIdStackError {
 public:
  EIdStackInitializationFailed() : EIdStackError("Winsock Initialization Error.") {}
};

// The system's socket library is missing or was used before it was loaded.
class EIdWS2StubError : public EIdException {
 public:
  static EIdWS2StubError LibraryNotLoaded(const std::string& library) {
    return EIdWS2StubError("Error on loading Winsock2 library (" + library + ")");
  }
  static EIdWS2StubError FunctionBeforeLoad(const std::string& function) {
    return EIdWS2StubError("Error on call Winsock2 library function " + function);
  }

 private:
  explicit EIdWS2StubError(std::string message) : EIdException(std::move(message)) {}
};

}  // namespace tarn::net
