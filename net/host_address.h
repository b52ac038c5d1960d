// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

#include "net/host_lookup.h"
#include "net/platform_socket.h"

namespace tarn::net {

// Four decimal numbers of 0 to 255 separated by dots.
std::optional<platform::IPv4Address> ParseDottedIPv4(std::string_view host);
inline bool IsDottedIpv4(std::string_view host) { return ParseDottedIPv4(host).has_value(); }

// The address to connect to for a host name: "localhost" and dotted numbers without a
// lookup, names under the reserved "invalid" domain never found, any other name through the
// system's lookup, which `cancel` can abandon (ELookupAbandoned). Fails with EIdSocketError.
platform::IPv4Address ResolveHost(std::string_view host, LookupCancel& cancel);

}  // namespace tarn::net
