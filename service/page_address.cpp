// SPDX-License-Identifier: MIT
#include "service/page_address.h"

#include <cctype>

#include "base/text.h"
#include "service/hosts.h"

namespace tarn {
namespace {

// Most digits an id may have: the service's have up to ten.
constexpr size_t kMaxIdDigits = 20;
// Longest person's name taken: the service's are short.
constexpr size_t kMaxNameBytes = 64;

struct Parts {
  bool https = false;
  std::string_view authority, path, query;
};

std::optional<Parts> Split(std::string_view address) {
  Parts parts;
  if (address.starts_with("https://")) {
    parts.https = true;
    address.remove_prefix(8);
  } else if (address.starts_with("http://")) {
    address.remove_prefix(7);
  } else {
    return std::nullopt;
  }
  address = address.substr(0, address.find('#'));
  const size_t path = address.find_first_of("/?");
  parts.authority = address.substr(0, path);
  if (path == std::string_view::npos) return parts;
  const std::string_view rest = address.substr(path);
  const size_t query = rest.find('?');
  parts.path = rest.substr(0, query);
  if (query != std::string_view::npos) parts.query = rest.substr(query + 1);
  return parts;
}

bool IsHost(std::string_view authority, const std::string& host) {
  return EqualsIgnoringAsciiCase(authority, host);
}

// The digits of `path` after `before` and up to `after`, which must end the path (a missing
// last '/' is allowed).
std::optional<std::string> IdBetween(std::string_view path, std::string_view before,
                                     std::string_view after) {
  if (!path.starts_with(before)) return std::nullopt;
  path.remove_prefix(before.size());
  const size_t digits = path.find_first_not_of("0123456789");
  if (digits == 0 || digits == std::string_view::npos || digits > kMaxIdDigits) return std::nullopt;
  const std::string_view rest = path.substr(digits);
  if (rest != after && std::string(rest) + "/" != after) return std::nullopt;
  return std::string(path.substr(0, digits));
}

// The name in "/people/<name>/photos" (a missing last '/' allowed): letters, digits, '.', '_'
// and '-', as the service's names are.
std::optional<std::string> PersonIn(std::string_view path) {
  constexpr std::string_view kPeople = "/people/";
  if (!path.starts_with(kPeople)) return std::nullopt;
  path.remove_prefix(kPeople.size());
  const size_t end = path.find('/');
  const std::string_view name = path.substr(0, end);
  if (name.find_first_not_of('.') == std::string_view::npos || name.size() > kMaxNameBytes ||
      end == std::string_view::npos)
    return std::nullopt;
  for (const char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
      return std::nullopt;
  const std::string_view rest = path.substr(end);
  if (rest != "/photos" && rest != "/photos/") return std::nullopt;
  return std::string(name);
}

// The value of `key` in a query, or nothing.
std::optional<std::string_view> QueryValue(std::string_view query, std::string_view key) {
  while (!query.empty()) {
    const size_t end = query.find('&');
    const std::string_view pair = query.substr(0, end);
    if (pair.starts_with(key) && pair.size() > key.size() && pair[key.size()] == '=')
      return pair.substr(key.size() + 1);
    if (end == std::string_view::npos) break;
    query.remove_prefix(end + 1);
  }
  return std::nullopt;
}

}  // namespace

std::optional<PageAddress> ReadPageAddress(std::string_view address) {
  const std::optional<Parts> parts = Split(address);
  if (!parts || parts->authority.find('@') != std::string_view::npos) return std::nullopt;
  PageAddress page;
  page.https = parts->https;
  if (IsHost(parts->authority, PhotoHost())) {
    if (parts->path.starts_with("/photos/")) {
      constexpr std::string_view kAlbum = "/photos/album/";
      if (parts->path.starts_with(kAlbum)) {
        const std::string_view rest = parts->path.substr(kAlbum.size());
        page.id = rest.substr(0, std::min(rest.find_first_not_of("0123456789"), kMaxIdDigits + 1));
        if (page.id.size() > kMaxIdDigits) page.id.clear();
      }
      return page;
    }
    if (!parts->https) return std::nullopt;
    if (auto id = IdBetween(parts->path, "/personage/", "/photos/")) {
      page.kind = PageKind::kStarPhotos;
      page.id = std::move(*id);
      return page;
    }
    if (auto name = PersonIn(parts->path)) {
      page.kind = PageKind::kPersonAlbums;
      page.id = std::move(*name);
      return page;
    }
    return std::nullopt;
  }
  if (!parts->https || !IsHost(parts->authority, MovieHost())) return std::nullopt;
  if (auto id = IdBetween(parts->path, "/subject/", "/photos")) {
    const std::string_view type = QueryValue(parts->query, "type").value_or("S");
    if (type != "S" && type != "R" && type != "W") return std::nullopt;
    page.kind = PageKind::kFilmPhotos;
    page.id = std::move(*id);
    page.film_type = type[0];
    return page;
  }
  if (auto id = IdBetween(parts->path, "/celebrity/", "/photos/")) {
    page.kind = PageKind::kOldStarPhotos;
    page.id = std::move(*id);
    return page;
  }
  return std::nullopt;
}

std::string AcceptedAddressForms() {
  const std::string www = "https://" + PhotoHost();
  const std::string movie = "https://" + MovieHost();
  return "可以下载的地址：\n相册 " + www + "/photos/album/<编号>/\n明星的照片 " + www +
         "/personage/<编号>/photos/\n影视的照片 " + movie +
         "/subject/<编号>/photos?type=S（剧照；R 海报，W 壁纸）\n影人的照片 " + movie +
         "/celebrity/<编号>/photos/\n某人的全部相册（需要登录） " + www + "/people/<名字>/photos";
}

}  // namespace tarn
