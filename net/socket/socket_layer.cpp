// SPDX-License-Identifier: MIT
#include "net/socket/socket_layer.h"

#include <mutex>

#include "net/socket/platform_socket.h"

namespace tarn::net {
namespace {

// The one process-wide lock: start, release and the count that decides them.
std::mutex& LayerMutex() {
  static std::mutex mutex;
  return mutex;
}
int live_holders = 0;

}  // namespace

SocketLayerUse::SocketLayerUse() {
  std::lock_guard lock(LayerMutex());
  if (live_holders == 0) platform::StartStack();
  ++live_holders;
}

SocketLayerUse::~SocketLayerUse() {
  std::lock_guard lock(LayerMutex());
  if (--live_holders == 0) platform::ReleaseStack();
}

int SocketLayerUse::Count() {
  std::lock_guard lock(LayerMutex());
  return live_holders;
}

}  // namespace tarn::net
