// SPDX-License-Identifier: MIT
#include "net/socket/address_guard.h"

#include <cstdio>
#include <string>

#include "base/cut_text.h"
#include "net/stream/transfer_errors.h"

namespace tarn::net {
namespace {

constexpr unsigned char kDelete = 0x7F;

bool IsControl(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 0x20 || code == kDelete;
}

// The address as a message can show it: each control character as \xNN.
std::string Visible(std::string_view address) {
  std::string shown;
  for (char c : address) {
    if (!IsControl(c)) {
      shown += c;
      continue;
    }
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
    shown += escaped;
  }
  return shown;
}

}  // namespace

void RefuseUnsendableAddress(std::string_view address) {
  // The request head has long refused line breaks in these words; they stay.
  if (address.find_first_of("\r\n") != std::string_view::npos) {
    throw EAddressRefused("Address holds a line break.");
  }
  for (char c : address) {
    if (IsControl(c)) {
      throw EAddressRefused("地址中含有控制字符，未发送：" + CutText(Visible(address)));
    }
  }
}

bool IsPrivateAddress(const platform::IPv4Address& address) {
  const uint8_t a = address[0];
  const uint8_t b = address[1];
  return a == 0 || a == 10 || a == 127 || (a == 172 && b >= 16 && b <= 31) ||
         (a == 192 && b == 168) || (a == 169 && b == 254);
}

void RefusePrivateAddress(std::string_view host, const platform::IPv4Address& address) {
  if (!IsPrivateAddress(address)) return;
  const std::string dotted = std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
                             std::to_string(address[2]) + "." + std::to_string(address[3]);
  throw EAddressRefused("拒绝连接本机或内网地址：" + CutText(host) + "（" + dotted + "）");
}

}  // namespace tarn::net
