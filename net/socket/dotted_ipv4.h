// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

#include "net/socket/platform_socket.h"

namespace tarn::net {

// Four decimal numbers of 0 to 255 separated by dots, each of one to three digits: the one
// reader of such addresses, for connecting and for cookie domains alike.
inline std::optional<platform::IPv4Address> ParseDottedIPv4(std::string_view host) {
  // Most digits one number may have.
  constexpr int kMaxDigitsPerNumber = 3;
  platform::IPv4Address address{};
  size_t position = 0;
  for (size_t part = 0; part < address.size(); ++part) {
    if (part > 0) {
      if (position >= host.size() || host[position] != '.') return std::nullopt;
      ++position;
    }
    const size_t begin = position;
    unsigned value = 0;
    while (position < host.size() && position - begin < kMaxDigitsPerNumber &&
           host[position] >= '0' && host[position] <= '9') {
      value = value * 10 + static_cast<unsigned>(host[position] - '0');
      ++position;
    }
    if (position == begin || value > 255) return std::nullopt;
    address[part] = static_cast<uint8_t>(value);
  }
  if (position != host.size()) return std::nullopt;
  return address;
}

inline bool IsDottedIpv4(std::string_view host) { return ParseDottedIPv4(host).has_value(); }

}  // namespace tarn::net
