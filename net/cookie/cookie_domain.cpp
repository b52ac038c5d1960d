// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_domain.h"

#include "base/text.h"
#include "net/socket/dotted_ipv4.h"

namespace tarn::net {

bool DomainMaySetCookie(std::string_view domain, std::string_view request_host) {
  if (IsDottedIpv4(request_host) || !domain.starts_with('.')) return domain == request_host;
  const size_t first_dot = request_host.find('.');
  return first_dot != std::string_view::npos && domain == request_host.substr(first_dot);
}

bool HostWithinDomain(std::string_view host, std::string_view domain) {
  if (domain.empty() || host.size() < domain.size()) return false;
  const size_t start = host.size() - domain.size();
  if (!EqualsIgnoringAsciiCase(host.substr(start), domain)) return false;
  // The match must begin at a label: ".a.b" carries its own dot, "a.b" needs one before it.
  return start == 0 || domain.starts_with('.') || host[start - 1] == '.';
}

bool SignInDomainFits(std::string_view host, std::string_view domain) {
  if (IsDottedIpv4(host)) return EqualsIgnoringAsciiCase(domain, host);
  const std::string_view bare = domain.starts_with('.') ? domain.substr(1) : domain;
  if (bare.find('.') == std::string_view::npos && !EqualsIgnoringAsciiCase(bare, host))
    return false;
  return HostWithinDomain(host, domain);
}

}  // namespace tarn::net
