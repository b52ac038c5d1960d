// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "net/socket/socket_errors.h"

namespace tarn::net {

// A body beyond the size a photo may have; another attempt would bring the same.
class EBodyTooLarge : public EIdException {
 public:
  explicit EBodyTooLarge(uint64_t limit)
      : EIdException("文件超过 " + std::to_string(limit) + " 字节的上限，已放弃。") {}
};

// An address the client will not send: no connection is made for it.
class EAddressRefused : public EIdException {
 public:
  using EIdException::EIdException;
};

}  // namespace tarn::net
