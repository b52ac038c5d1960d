// SPDX-License-Identifier: MIT
// Cookies set by fuzzed "Set-cookie" values from a few hosts and directories, expired by a
// moving clock and chosen for requests. Every cookie sent must have been set by an answer
// that was allowed to set it, for a domain and path that cover the request, and must not have
// expired; the "Cookie" value must never hold a control character, least of all CR or LF.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "fuzz_check.h"
#include "net/cookie/cookie_domain.h"
#include "net/cookie/cookie_parser.h"
#include "net/cookie/cookie_store.h"
#include "net/http/internet_date.h"

namespace tarn::net {
namespace {

using fuzz::Check;

// Longest fuzzed Set-cookie value; the store itself takes up to 4096 bytes.
constexpr size_t kMaxValueLength = 600;
// Operations per input.
constexpr int kMaxOperations = 64;

constexpr std::array<std::string_view, 7> kHosts = {"p.a.b", "q.a.b",     "a.b",   "x.p.a.b",
                                                    "P.A.B", "127.0.0.1", "xp.a.b"};
constexpr std::array<std::string_view, 4> kDirectories = {"/", "/photos/", "/photos/album/", ""};

struct SetEvent {
  std::string host;
  std::string directory;
  ParsedCookie cookie;
};

std::string PickHost(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return std::string(input.PickValueInArray(kHosts));
  return input.ConsumeRandomLengthString(32);
}

std::string PickDirectory(FuzzedDataProvider& input) {
  if (input.ConsumeBool()) return std::string(input.PickValueInArray(kDirectories));
  return input.ConsumeRandomLengthString(32);
}

bool Covers(const SetEvent& set, std::string_view name, std::string_view value,
            std::string_view host, std::string_view directory, std::time_t now) {
  const ParsedCookie& cookie = set.cookie;
  if (!EqualsIgnoringAsciiCase(cookie.name, name) || cookie.value != value || cookie.secure) {
    return false;
  }
  const std::string domain = cookie.domain.empty() ? set.host : cookie.domain;
  if (domain.empty() || !DomainMaySetCookie(domain, set.host) || !HostWithinDomain(host, domain)) {
    return false;
  }
  const std::string path = !cookie.path.empty()             ? cookie.path
                           : set.directory.starts_with('/') ? set.directory
                                                            : "/";
  if (!directory.starts_with(path)) return false;
  if (cookie.expiry.empty()) return true;
  const auto expiry = ReadInternetDate(cookie.expiry);
  return expiry && *expiry > now;
}

void CheckSent(std::string_view header, const std::vector<SetEvent>& sets, std::string_view host,
               std::string_view directory, std::time_t now) {
  for (const char c : header) {
    Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f, "no control character sent");
  }
  while (!header.empty()) {
    const size_t end = header.find("; ");
    const std::string_view pair = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 2);
    const size_t equals = pair.find('=');
    Check(equals != std::string_view::npos, "every cookie sent as name=value");
    const std::string_view name = pair.substr(0, equals);
    const std::string_view value = pair.substr(equals + 1);
    Check(!value.empty(), "no empty value sent");
    bool covered = false;
    for (const SetEvent& set : sets) {
      if (Covers(set, name, value, host, directory, now)) {
        covered = true;
        break;
      }
    }
    Check(covered, "a cookie sent that no allowed answer set for this request");
  }
}

}  // namespace
}  // namespace tarn::net

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn::net;
  FuzzedDataProvider input(data, size);
  std::time_t now = input.ConsumeIntegralInRange<std::time_t>(0, 4102444800);  // up to 2100
  CookieStore store([&now] { return now; });
  std::vector<SetEvent> sets;
  for (int operation = 0; operation < kMaxOperations && input.remaining_bytes() > 0; ++operation) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
      case 0: {
        SetEvent set{PickHost(input), PickDirectory(input), {}};
        const std::string value = input.ConsumeRandomLengthString(kMaxValueLength);
        const std::string name = input.ConsumeBool() ? "Set-Cookie" : "set-cookie2";
        store.TakeHead({{name, value}}, set.host, set.directory);
        if (auto cookie = ParseSetCookie(value, now)) {
          set.cookie = std::move(*cookie);
          sets.push_back(std::move(set));
        }
        break;
      }
      case 1: {
        const std::string host = PickHost(input);
        const std::string directory = PickDirectory(input);
        CheckSent(store.CookieValueFor(host, directory), sets, host, directory, now);
        break;
      }
      default:
        now += input.ConsumeIntegral<uint16_t>();
        break;
    }
  }
  return 0;
}
