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
  const size_t digits = std::min(path.find_first_not_of("0123456789"), path.size());
  if (digits == 0 || digits > kMaxIdDigits) return std::nullopt;
  const std::string_view rest = path.substr(digits);
  if (rest != after && std::string(rest) + "/" != after) return std::nullopt;
  return std::string(path.substr(0, digits));
}

// A person's or a site's name: letters, digits, '.', '_' and '-', as the service's names are,
// and not only dots.
bool IsName(std::string_view name) {
  if (name.find_first_not_of('.') == std::string_view::npos || name.size() > kMaxNameBytes)
    return false;
  for (const char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
      return false;
  return true;
}

// The name in "/people/<name>/photos" (a missing last '/' allowed).
std::optional<std::string> PersonIn(std::string_view path) {
  constexpr std::string_view kPeople = "/people/";
  if (!path.starts_with(kPeople)) return std::nullopt;
  path.remove_prefix(kPeople.size());
  const size_t end = path.find('/');
  const std::string_view name = path.substr(0, end);
  if (!IsName(name) || end == std::string_view::npos) return std::nullopt;
  const std::string_view rest = path.substr(end);
  if (rest != "/photos" && rest != "/photos/") return std::nullopt;
  return std::string(name);
}

// The kind and id of a site's album, "/<site>/widget/photos/<id>/" or
// "/<site>/widget/public_album/<id>/" (a missing last '/' allowed); the site's name is a
// path part of the service's letters.
std::optional<std::pair<PageKind, std::string>> SiteAlbumIn(std::string_view path) {
  if (!path.starts_with("/")) return std::nullopt;
  const size_t end = path.find('/', 1);
  if (end == std::string_view::npos || !IsName(path.substr(1, end - 1))) return std::nullopt;
  path.remove_prefix(end);
  if (auto id = IdBetween(path, "/widget/photos/", "/"))
    return std::pair{PageKind::kSitePhotos, std::move(*id)};
  if (auto id = IdBetween(path, "/widget/public_album/", "/"))
    return std::pair{PageKind::kSiteAlbum, std::move(*id)};
  return std::nullopt;
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
    if (auto id = IdBetween(parts->path, "/note/", "/")) {
      page.kind = PageKind::kNote;
      page.id = std::move(*id);
      return page;
    }
    if (auto id = IdBetween(parts->path, "/group/topic/", "/")) {
      page.kind = PageKind::kTopic;
      page.id = std::move(*id);
      return page;
    }
    return std::nullopt;
  }
  if (!parts->https) return std::nullopt;
  if (IsHost(parts->authority, SiteHost())) {
    auto album = SiteAlbumIn(parts->path);
    if (!album) return std::nullopt;
    page.kind = album->first;
    page.id = std::move(album->second);
    return page;
  }
  if (!IsHost(parts->authority, MovieHost())) return std::nullopt;
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
  const std::string site = "https://" + SiteHost();
  return "可以下载的地址：\n相册 " + www + "/photos/album/<编号>/\n明星的照片 " + www +
         "/personage/<编号>/photos/\n影视的照片 " + movie +
         "/subject/<编号>/photos?type=S（剧照；R 海报，W 壁纸）\n影人的照片 " + movie +
         "/celebrity/<编号>/photos/\n某人的全部相册（需要登录） " + www +
         "/people/<名字>/photos\n小站的相册 " + site + "/<小站>/widget/photos/<编号>/（或 " +
         "widget/public_album/<编号>/）\n日记的图片 " + www + "/note/<编号>/\n小组话题的图片 " +
         www + "/group/topic/<编号>/";
}

}  // namespace tarn
