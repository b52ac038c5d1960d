// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::net {

// Which proxy each address goes through, as the process chose it once at start-up.
struct ProxyRules {
  std::string https;     // proxy URL for https addresses, as written; empty: direct
  std::string http;      // the same for http addresses
  std::string no_proxy;  // hosts reached directly: the no_proxy forms

  bool operator==(const ProxyRules&) const = default;
};

// An environment variable's value, or nothing when it is unset.
using EnvironmentGetter = std::function<std::optional<std::string>(const char* name)>;
std::optional<std::string> ProcessEnvironment(const char* name);

// The variables as curl reads them: https_proxy, HTTPS_PROXY; http_proxy (lower case only:
// HTTP_PROXY may be set by a web server's request); all_proxy, ALL_PROXY for both; no_proxy,
// NO_PROXY. A lower-case name wins over its upper-case one; an empty value counts as unset.
ProxyRules ProxyRulesFromEnvironment(const EnvironmentGetter& environment);

// A proxy the user named (Config.ini's Proxy, tarn-get --proxy): every address goes through
// it; "direct" or nothing means none.
ProxyRules NamedProxyRules(std::string_view setting);

// The proxy URL for an address, or empty when it goes direct.
std::string ProxyFor(const ProxyRules& rules, bool https, std::string_view host, int port);

// Whether `host` (and `port`) is one that `no_proxy` lists: comma-separated names, domain
// suffixes with or without a leading dot, IP addresses, each with an optional ":port"; "*" is
// every host.
bool BypassesProxy(std::string_view no_proxy, std::string_view host, int port);

}  // namespace tarn::net
