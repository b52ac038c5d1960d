// SPDX-License-Identifier: MIT
#include "download/album_list_scanner.h"

#include <map>
#include <vector>

#include "base/text.h"
#include "download/html_tag.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kAlbumPath = "/photos/album/";
// Most digits an album id may have: real ones have nine or ten.
constexpr size_t kMaxIdDigits = 20;
// Longest title kept, in bytes.
constexpr size_t kMaxTitleBytes = 1024;

std::string AlbumIdIn(std::string_view href) {
  const size_t at = href.find(kAlbumPath);
  if (at == std::string_view::npos) return {};
  const std::string_view rest = href.substr(at + kAlbumPath.size());
  const size_t digits = rest.find_first_not_of("0123456789");
  if (digits == 0 || digits > kMaxIdDigits) return {};
  if (digits != std::string_view::npos && rest[digits] != '/' && rest[digits] != '?') return {};
  return std::string(rest.substr(0, digits));
}

}  // namespace

std::string_view ScanAlbumList(std::string_view page,
                               const std::function<void(ListedAlbum album)>& found) {
  std::vector<ListedAlbum> albums;
  std::map<std::string, size_t> index;  // id -> place in `albums`
  size_t rest = 0;
  for (size_t at = FindTag(page, 0, "<a"); at != std::string_view::npos;
       at = FindTag(page, at + 1, "<a")) {
    size_t end = 0;
    const std::optional<std::string_view> href = FirstAttribute(page, at + 2, "href", end);
    if (end == std::string_view::npos) break;  // a tag never closed ends the page
    if (!href) continue;
    std::string id = AlbumIdIn(*href);
    if (id.empty()) continue;
    const size_t close = page.find("</a", end);
    const std::string_view inner =
        page.substr(end, (close == std::string_view::npos ? page.size() : close) - end);
    std::string title =
        CutUtf8(std::string(Trim(DecodeHtmlEntities(StripHtmlTags(inner)))), kMaxTitleBytes);
    rest = close == std::string_view::npos ? page.size() : close;
    const auto [place, added] = index.emplace(id, albums.size());
    if (added) {
      albums.push_back({std::move(id), DecodeHtmlEntities(Trim(*href)), std::move(title)});
    } else if (albums[place->second].title.empty()) {
      albums[place->second].title = std::move(title);
    }
  }
  for (ListedAlbum& album : albums) found(std::move(album));
  return page.substr(rest);
}

}  // namespace tarn
