// SPDX-License-Identifier: MIT
#include "net/host_address.h"

#include <string>

#include "base/text.h"
#include "net/socket_error_text.h"
#include "net/socket_errors.h"

namespace tarn::net {
namespace {

// RFC 6761 reserves this domain: a lookup must never find such a name, so none is made.
constexpr std::string_view kReservedInvalidDomain = ".invalid";
constexpr platform::IPv4Address kLoopback = {127, 0, 0, 1};
constexpr int kMaxDigitsPerNumber = 3;

bool IsUnderInvalidDomain(std::string_view host) {
  if (EqualsIgnoringAsciiCase(host, kReservedInvalidDomain.substr(1))) return true;
  return host.size() > kReservedInvalidDomain.size() &&
         EqualsIgnoringAsciiCase(host.substr(host.size() - kReservedInvalidDomain.size()),
                                 kReservedInvalidDomain);
}

}  // namespace

std::optional<platform::IPv4Address> ParseDottedIPv4(std::string_view host) {
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

platform::IPv4Address ResolveHost(std::string_view host, LookupCancel& cancel) {
  if (EqualsIgnoringAsciiCase(host, "localhost")) return kLoopback;
  if (const std::optional<platform::IPv4Address> dotted = ParseDottedIPv4(host)) return *dotted;
  // An empty host (a relative address on a fresh client) names nothing to connect to.
  if (host.empty() || IsUnderInvalidDomain(host)) throw EIdSocketError(kWsaHostNotFound);
  platform::IPv4Address address{};
  if (const int error = LookupAbortably(std::string(host), &address, cancel)) {
    throw EIdSocketError(error);
  }
  return address;
}

}  // namespace tarn::net
