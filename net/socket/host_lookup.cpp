// SPDX-License-Identifier: MIT
#include "net/socket/host_lookup.h"

#include <condition_variable>
#include <system_error>
#include <thread>

namespace tarn::net {

// Shared by the waiting thread and the helper; whoever leaves last frees it.
struct LookupState {
  std::mutex mutex;
  std::condition_variable done_or_cancelled;
  bool done = false;
  int error = 0;
  platform::IPv4Address address{};
};

// Registers a lookup with its cancel for as long as the caller waits.
class LookupWait {
 public:
  LookupWait(LookupCancel& cancel, std::shared_ptr<LookupState> state) : cancel_(cancel) {
    std::lock_guard lock(cancel_.mutex_);
    cancel_.current_ = std::move(state);
  }
  ~LookupWait() {
    std::lock_guard lock(cancel_.mutex_);
    cancel_.current_.reset();
  }
  LookupWait(const LookupWait&) = delete;
  LookupWait& operator=(const LookupWait&) = delete;

 private:
  LookupCancel& cancel_;
};

void LookupCancel::Cancel() {
  cancelled_ = true;
  std::lock_guard lock(mutex_);
  if (!current_) return;
  // Taken so that the waiter is either before its check or asleep, never in between.
  std::lock_guard state_lock(current_->mutex);
  current_->done_or_cancelled.notify_all();
}

int LookupAbortably(const std::string& host, platform::IPv4Address* address, LookupCancel& cancel,
                    LookupFunction lookup) {
  if (cancel.Cancelled()) throw ELookupAbandoned();
  auto state = std::make_shared<LookupState>();
  const LookupWait registered(cancel, state);
  auto run = [state, host, lookup] {
    platform::IPv4Address found{};
    const int error = lookup(host, &found);
    std::lock_guard lock(state->mutex);
    state->error = error;
    state->address = found;
    state->done = true;
    state->done_or_cancelled.notify_all();
  };
  try {
    std::thread(run).detach();
  } catch (const std::system_error&) {
    run();  // no thread to be had: the lookup cannot be abandoned, but it still answers
  }
  std::unique_lock lock(state->mutex);
  state->done_or_cancelled.wait(lock, [&] { return state->done || cancel.Cancelled(); });
  if (!state->done) throw ELookupAbandoned();
  if (state->error == 0) *address = state->address;
  return state->error;
}

}  // namespace tarn::net
