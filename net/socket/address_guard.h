// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "net/socket/platform_socket.h"

namespace tarn::net {

// Refuses with EAddressRefused an address holding a control character (NUL to 0x1F, DEL):
// the name lookup would stop at a NUL and reach another host than written, and any of them
// would land inside the request head.
void RefuseUnsendableAddress(std::string_view address);

// Loopback, private (10/8, 172.16/12, 192.168/16), link-local (169.254/16) and 0/8 addresses:
// the user's own machine and network, which a page from the internet has no business naming.
bool IsPrivateAddress(const platform::IPv4Address& address);

// Refuses with EAddressRefused a host that resolved to a private address.
void RefusePrivateAddress(std::string_view host, const platform::IPv4Address& address);

}  // namespace tarn::net
