// SPDX-License-Identifier: MIT
#include "net/socket/host_address.h"

#include <string>

#include "base/text.h"
#include "net/socket/socket_error_text.h"
#include "net/socket/socket_errors.h"

namespace tarn::net {
namespace {

// RFC 6761 reserves this domain: a lookup must never find such a name, so none is made.
constexpr std::string_view kReservedInvalidDomain = ".invalid";
constexpr platform::IPv4Address kLoopback = {127, 0, 0, 1};

bool IsUnderInvalidDomain(std::string_view host) {
  if (EqualsIgnoringAsciiCase(host, kReservedInvalidDomain.substr(1))) return true;
  return host.size() > kReservedInvalidDomain.size() &&
         EqualsIgnoringAsciiCase(host.substr(host.size() - kReservedInvalidDomain.size()),
                                 kReservedInvalidDomain);
}

}  // namespace

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
