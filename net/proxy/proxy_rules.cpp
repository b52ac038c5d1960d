// SPDX-License-Identifier: MIT
#include "net/proxy/proxy_rules.h"

#include <cstdlib>

#include "base/text.h"
#include "net/socket/dotted_ipv4.h"

namespace tarn::net {
namespace {

std::string FirstSet(const EnvironmentGetter& environment,
                     std::initializer_list<const char*> names) {
  for (const char* name : names) {
    std::optional<std::string> value = environment(name);
    if (value && !Trim(*value).empty()) return std::move(*value);
  }
  return {};
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

// Whether `host` is `domain` or a name under it; an address has nothing under it.
bool InDomain(std::string_view host, std::string_view domain) {
  if (host.size() == domain.size()) return EqualsIgnoringAsciiCase(host, domain);
  if (IsDottedIpv4(host)) return false;
  return EndsWithIgnoringCase(host, domain) && host[host.size() - domain.size() - 1] == '.';
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

ProxyRules ProxyRulesFromEnvironment(const EnvironmentGetter& environment) {
  const std::string all = FirstSet(environment, {"all_proxy", "ALL_PROXY"});
  ProxyRules rules;
  rules.https = FirstSet(environment, {"https_proxy", "HTTPS_PROXY"});
  if (rules.https.empty()) rules.https = all;
  rules.http = FirstSet(environment, {"http_proxy"});
  if (rules.http.empty()) rules.http = all;
  rules.no_proxy = FirstSet(environment, {"no_proxy", "NO_PROXY"});
  return rules;
}

ProxyRules NamedProxyRules(std::string_view setting) {
  setting = Trim(setting);
  if (setting.empty() || EqualsIgnoringAsciiCase(setting, "direct")) return {};
  return {std::string(setting), std::string(setting), {}};
}

std::string ProxyFor(const ProxyRules& rules, bool https, std::string_view host, int port) {
  const std::string& proxy = https ? rules.https : rules.http;
  if (proxy.empty() || BypassesProxy(rules.no_proxy, host, port)) return {};
  return proxy;
}

bool BypassesProxy(std::string_view no_proxy, std::string_view host, int port) {
  while (!no_proxy.empty()) {
    const size_t comma = no_proxy.find(',');
    std::string_view entry = Trim(no_proxy.substr(0, comma));
    no_proxy.remove_prefix(comma == std::string_view::npos ? no_proxy.size() : comma + 1);
    if (entry == "*") return true;
    const size_t colon = entry.rfind(':');
    if (colon != std::string_view::npos) {
      if (entry.substr(colon + 1) != std::to_string(port)) continue;
      entry = entry.substr(0, colon);
    }
    if (entry.starts_with('.')) entry.remove_prefix(1);
    if (!entry.empty() && InDomain(host, entry)) return true;
  }
  return false;
}

}  // namespace tarn::net
