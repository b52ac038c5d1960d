// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/socket/platform_socket.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {

// A lookup given up because its connection was aborted.
class ELookupAbandoned : public EIdException {
 public:
  ELookupAbandoned() : EIdException("Operation aborted.") {}
};

struct LookupState;

// Lets another thread give up the lookups of one connection: the one under way returns at
// once, and every later one does not start.
class LookupCancel {
 public:
  void Cancel();
  bool Cancelled() const { return cancelled_; }

 private:
  friend class LookupWait;
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  std::shared_ptr<LookupState> current_;
};

// The system's lookup runs for minutes when a name server does not answer, and nothing can
// interrupt it. It runs on a helper thread of its own that shares only its result, so that a
// cancel abandons it: the helper finishes alone and its answer is dropped.
using LookupFunction = std::function<int(const std::string& host, platform::IPv4Address*)>;

// As `lookup` (an error number, or 0 with the address stored), unless cancelled first: then
// ELookupAbandoned.
int LookupAbortably(const std::string& host, platform::IPv4Address* address, LookupCancel& cancel,
                    LookupFunction lookup = platform::LookupIPv4);

}  // namespace tarn::net
