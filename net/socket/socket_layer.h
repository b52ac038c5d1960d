// SPDX-License-Identifier: MIT
#pragma once

namespace tarn::net {

// Keeps the process-wide socket library started while at least one holder lives: the first
// holder starts it, the last one releases it. Every HTTP client holds one.
class SocketLayerUse {
 public:
  SocketLayerUse();
  ~SocketLayerUse();
  SocketLayerUse(const SocketLayerUse&) = delete;
  SocketLayerUse& operator=(const SocketLayerUse&) = delete;

  // Number of live holders in the process.
  static int Count();
};

}  // namespace tarn::net
