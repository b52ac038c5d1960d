// SPDX-License-Identifier: MIT
#pragma once

#include "net/socket/socket_errors.h"

namespace tarn::net {

// A proxy that cannot be used: not reachable, refusing, wanting a password, or no proxy of a
// kind we speak. The message names the proxy by host and port, never by its password. Another
// try meets the same proxy, and nothing ever goes around it.
class EProxyError : public EIdException {
 public:
  using EIdException::EIdException;
};

}  // namespace tarn::net
