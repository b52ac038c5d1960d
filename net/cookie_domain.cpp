// SPDX-License-Identifier: MIT
#include "net/cookie_domain.h"

#include "base/text.h"

namespace tarn::net {
namespace {

// Parts of a dotted IPv4 address, and the most digits one part may have.
constexpr int kIpv4Parts = 4;
constexpr size_t kMaxIpv4PartDigits = 3;
constexpr int kMaxIpv4PartValue = 255;

bool IsIpv4Part(std::string_view part) {
  if (part.empty() || part.size() > kMaxIpv4PartDigits) return false;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value <= kMaxIpv4PartValue;
}

}  // namespace

bool IsDottedIpv4(std::string_view host) {
  for (int part = 1; part < kIpv4Parts; ++part) {
    const size_t dot = host.find('.');
    if (dot == std::string_view::npos || !IsIpv4Part(host.substr(0, dot))) return false;
    host.remove_prefix(dot + 1);
  }
  return IsIpv4Part(host);
}

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

}  // namespace tarn::net
