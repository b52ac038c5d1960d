// SPDX-License-Identifier: MIT
// Proxy URLs and no_proxy lists as users and environments write them. Input: a URL, a NUL, a
// no_proxy list, a NUL, a host.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "net/proxy/proxy_errors.h"
#include "net/proxy/proxy_rules.h"
#include "net/proxy/proxy_url.h"

namespace {

std::string_view NextPart(std::string_view& input) {
  const size_t end = input.find('\0');
  const std::string_view part = input.substr(0, end);
  input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn::net;
  using tarn::fuzz::Check;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view url = NextPart(input);
  const std::string_view no_proxy = NextPart(input);
  const std::string_view host = NextPart(input);
  try {
    const ProxyUrl proxy = ParseProxyUrl(url);
    Check(!proxy.host.empty() && proxy.port >= 1 && proxy.port <= 65535, "host and port");
    Check(proxy.host.find_first_of("@/: \t\r\n") == std::string::npos, "host within the authority");
    Check(proxy.has_credentials || (proxy.user.empty() && proxy.password.empty()),
          "credentials only from user information");
    const size_t plain = proxy.user.size() + 1 + proxy.password.size();
    Check(BasicCredentials(proxy).size() == 6 + (plain + 2) / 3 * 4, "base64 length");
  } catch (const EProxyError&) {
  }
  const bool bypassed = BypassesProxy(no_proxy, host, 443);
  if (no_proxy == "*") Check(bypassed, "* is every host");
  if (no_proxy.empty()) Check(!bypassed, "an empty list is no host");
  return 0;
}
