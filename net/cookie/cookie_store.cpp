// SPDX-License-Identifier: MIT
#include "net/cookie/cookie_store.h"

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <utility>
#include <vector>

#include "base/text.h"
#include "net/cookie/cookie_domain.h"
#include "net/cookie/cookie_parser.h"
#include "net/http/internet_date.h"

namespace tarn::net {
namespace {

// Most cookies one store keeps (with the length below, about 1.2 MB at worst); an album server
// sets a handful, so new cookies beyond it are dropped. Replacing a stored one still works.
constexpr size_t kMaxCookies = 300;
// Longest "Set-cookie" value taken; a browser keeps no more than this per cookie either.
constexpr size_t kMaxCookieLength = 4096;

struct StoredCookie {
  std::string name;
  std::string value;
  std::string path;
  std::string expiry;
  bool secure = false;
  bool signed_in = false;  // the user's own, or set in place of one: bound to the origins
};

// Cookies of one domain, in the order they were first added.
struct DomainGroup {
  std::string domain;
  std::vector<StoredCookie> cookies;
};

// A cookie chosen for a request, with what orders it in the "Cookie" value.
struct Chosen {
  std::string upper_path;
  size_t group;
  size_t position;
  const StoredCookie* cookie;
};

// A cookie without a path belongs to the directory of the request that set it.
std::string PathOrDefault(std::string path, std::string_view request_directory) {
  if (!path.empty()) return path;
  if (!request_directory.starts_with('/')) return "/";
  return std::string(request_directory);
}

bool HasExpired(const StoredCookie& cookie, std::time_t now) {
  if (cookie.expiry.empty()) return false;
  const auto moment = ReadInternetDate(cookie.expiry);
  // An expiry we cannot read is treated as passed; so is the very second it names, which
  // makes "MAX-AGE=0" remove the cookie at once.
  return !moment || *moment <= now;
}

bool SendsBefore(const Chosen& a, const Chosen& b) {
  if (a.upper_path != b.upper_path) return a.upper_path > b.upper_path;
  if (a.group != b.group) return a.group < b.group;
  return a.position > b.position;  // the later name of a group first
}

std::time_t SystemTime() { return std::time(nullptr); }

}  // namespace

struct CookieStore::Impl {
  Clock clock;
  std::shared_mutex lock;
  std::vector<DomainGroup> groups;
  size_t count = 0;
  std::vector<ServiceOrigin> origins;

  void Store(ParsedCookie cookie, std::string_view request_host,
             std::string_view request_directory);
  void Keep(StoredCookie stored, std::string domain);
  void RemoveExpired(std::time_t now);
  bool MaySend(const StoredCookie& cookie, std::string_view host, bool secure, int port) const;
  std::string Choose(std::string_view host, std::string_view directory, bool secure,
                     int port) const;
};

void CookieStore::Impl::Store(ParsedCookie cookie, std::string_view request_host,
                              std::string_view request_directory) {
  if (cookie.domain.empty()) cookie.domain = request_host;
  // A cookie for no domain at all could never be sent.
  if (cookie.domain.empty() || !DomainMaySetCookie(cookie.domain, request_host)) return;
  Keep({std::move(cookie.name), std::move(cookie.value),
        PathOrDefault(std::move(cookie.path), request_directory), std::move(cookie.expiry),
        cookie.secure},
       std::move(cookie.domain));
}

void CookieStore::Impl::Keep(StoredCookie stored, std::string domain) {
  auto group = std::find_if(groups.begin(), groups.end(), [&](const DomainGroup& g) {
    return EqualsIgnoringAsciiCase(g.domain, domain);
  });
  if (group != groups.end()) {
    auto same = std::find_if(
        group->cookies.begin(), group->cookies.end(),
        [&](const StoredCookie& c) { return EqualsIgnoringAsciiCase(c.name, stored.name); });
    if (same != group->cookies.end()) {
      // Keeps its place and the name as first written; everything else is the new cookie's,
      // but what stands in for the user's sign-in stays as bound as the sign-in was.
      stored.name = std::move(same->name);
      stored.signed_in = stored.signed_in || same->signed_in;
      *same = std::move(stored);
      return;
    }
  }
  if (count >= kMaxCookies) return;
  if (group == groups.end()) {
    groups.push_back({std::move(domain), {}});
    group = std::prev(groups.end());
  }
  group->cookies.push_back(std::move(stored));
  ++count;
}

void CookieStore::Impl::RemoveExpired(std::time_t now) {
  for (DomainGroup& group : groups) {
    count -=
        std::erase_if(group.cookies, [now](const StoredCookie& c) { return HasExpired(c, now); });
  }
  // An emptied group goes too, so a long run cannot pile up groups for domains long gone.
  std::erase_if(groups, [](const DomainGroup& g) { return g.cookies.empty(); });
}

bool CookieStore::Impl::MaySend(const StoredCookie& cookie, std::string_view host, bool secure,
                                int port) const {
  // Secure cookies go only over TLS; the sign-in only over TLS to the service itself.
  if (cookie.secure && !secure) return false;
  if (!cookie.signed_in) return true;
  return secure && std::any_of(origins.begin(), origins.end(), [&](const ServiceOrigin& o) {
           return o.port == port && EqualsIgnoringAsciiCase(o.host, host);
         });
}

std::string CookieStore::Impl::Choose(std::string_view host, std::string_view directory,
                                      bool secure, int port) const {
  std::vector<Chosen> chosen;
  for (size_t g = 0; g < groups.size(); ++g) {
    if (!HostWithinDomain(host, groups[g].domain)) continue;
    const std::vector<StoredCookie>& cookies = groups[g].cookies;
    for (size_t i = 0; i < cookies.size(); ++i) {
      const StoredCookie& c = cookies[i];
      if (c.path.empty() || !directory.starts_with(c.path) || c.value.empty() ||
          !MaySend(c, host, secure, port)) {
        continue;
      }
      chosen.push_back({AsciiUpper(c.path), g, i, &c});
    }
  }
  std::sort(chosen.begin(), chosen.end(), SendsBefore);
  std::string header;
  for (const Chosen& c : chosen) {
    if (!header.empty()) header += "; ";
    header += c.cookie->name;
    header += '=';
    header += c.cookie->value;
  }
  return header;
}

CookieStore::CookieStore() : CookieStore(SystemTime) {}

CookieStore::CookieStore(Clock clock) : impl_(std::make_unique<Impl>()) {
  impl_->clock = std::move(clock);
}

CookieStore::~CookieStore() = default;

void CookieStore::TakeHead(const HttpHeaders& head, std::string_view request_host,
                           std::string_view request_directory) {
  const std::time_t now = impl_->clock();
  std::vector<ParsedCookie> cookies;
  // Every "Set-cookie" line in order, then every "Set-cookie2" line.
  for (std::string_view header_name : {"Set-cookie", "Set-cookie2"}) {
    for (const HttpHeader& header : head) {
      if (!EqualsIgnoringAsciiCase(header.name, header_name)) continue;
      if (header.value.size() > kMaxCookieLength) continue;
      if (auto cookie = ParseSetCookie(header.value, now)) cookies.push_back(std::move(*cookie));
    }
  }
  if (cookies.empty()) return;
  std::unique_lock writer(impl_->lock);
  // A store about to fill up makes room first by dropping what has expired already; once per
  // head, so a flood of headers cannot make each one rescan the store.
  if (impl_->count + cookies.size() > kMaxCookies) impl_->RemoveExpired(now);
  for (ParsedCookie& cookie : cookies) {
    impl_->Store(std::move(cookie), request_host, request_directory);
  }
}

void CookieStore::TakeSignIn(const SignIn& sign_in) {
  std::unique_lock writer(impl_->lock);
  impl_->origins = sign_in.origins;
  for (const UserCookie& cookie : sign_in.cookies) {
    const bool reaches = std::any_of(
        sign_in.origins.begin(), sign_in.origins.end(),
        [&](const ServiceOrigin& o) { return SignInDomainFits(o.host, cookie.domain); });
    if (!reaches) continue;
    impl_->Keep(
        {cookie.name, cookie.value, cookie.path.empty() ? "/" : cookie.path,
         cookie.expiry > 0 ? WriteInternetDate(cookie.expiry) : std::string(), cookie.secure, true},
        cookie.domain);
  }
}

std::string CookieStore::CookieValueFor(std::string_view host, std::string_view directory,
                                        bool secure, int port) {
  const std::time_t now = impl_->clock();
  {
    std::unique_lock writer(impl_->lock);
    impl_->RemoveExpired(now);
  }
  std::shared_lock reader(impl_->lock);
  return impl_->Choose(host, directory, secure, port);
}

}  // namespace tarn::net
