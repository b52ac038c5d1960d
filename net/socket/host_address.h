// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string_view>

#include "net/socket/dotted_ipv4.h"
#include "net/socket/host_lookup.h"
#include "net/socket/platform_socket.h"

namespace tarn::net {

// The address to connect to for a host name: "localhost" and dotted numbers without a
// lookup, names under the reserved "invalid" domain never found, any other name through the
// system's lookup, which `cancel` can abandon (ELookupAbandoned). Fails with EIdSocketError.
platform::IPv4Address ResolveHost(std::string_view host, LookupCancel& cancel);

}  // namespace tarn::net
