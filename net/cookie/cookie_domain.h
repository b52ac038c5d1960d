// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace tarn::net {

// Whether an answer from request_host may set a cookie for domain (already non-empty).
// Comparisons are exact: an address host sets only itself, a plain domain must be the host,
// and a domain with a leading dot must be the host's tail from its first dot (".a.b" for
// "p.a.b", not for "x.p.a.b").
bool DomainMaySetCookie(std::string_view domain, std::string_view request_host);

// Whether a cookie stored for domain goes to host, ignoring letter case: the host ends with
// the domain at a label boundary, so ".a.b" reaches "q.a.b" and "p.a.b" reaches "x.p.a.b",
// but neither reaches "xp.a.b" or "p.a.b.example" (a mere substring would leak cookies there).
bool HostWithinDomain(std::string_view host, std::string_view domain);

// Whether a cookie of `domain` that the user brought belongs to `host`'s site: for an address
// host the address itself; else a domain the host lies within that is more than a top-level
// label (".com" or "com" is a cookie domain of no site, unless it is the host itself).
bool SignInDomainFits(std::string_view host, std::string_view domain);

}  // namespace tarn::net
