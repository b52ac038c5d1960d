// SPDX-License-Identifier: MIT
#include "download/person_albums_source.h"

#include <filesystem>
#include <vector>

#include "base/clean_text.h"
#include "base/cut_text.h"
#include "base/file_path.h"
#include "base/text.h"
#include "download/album_list_scanner.h"
#include "download/album_scanner.h"
#include "service/page_address.h"

namespace tarn {
namespace {

// Characters of a title kept in a folder name, "…" included: enough to know the album by.
constexpr size_t kMaxTitleCharacters = 80;
// Bytes of a folder name every file system takes (most take 255); as UTF-8 this also bounds
// the UTF-16 units Windows counts, so a folder keeps its name on every system.
constexpr size_t kMaxFolderNameBytes = 240;

// The UTF-8 characters of `text` from the start, fewest first: each one's end offset.
std::vector<size_t> CharacterEnds(std::string_view text) {
  std::vector<size_t> ends;
  for (size_t i = 0; i < text.size(); ++i)
    if (i + 1 == text.size() || (static_cast<unsigned char>(text[i + 1]) & 0xC0) != 0x80)
      ends.push_back(i + 1);
  return ends;
}

}  // namespace

std::string AlbumFolderName(const std::string& id, const std::string& title) {
  std::string safe;
  for (const char c : CleanText(title)) {
    // What Windows refuses in a name, and the separators of every system.
    safe += std::string_view("<>:\"/\\|?*").find(c) == std::string_view::npos ? c : '_';
  }
  // Trailing dots and blanks are refused on Windows.
  while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
  const std::string_view trimmed = Trim(safe);
  if (trimmed.empty()) return id;
  const std::string head = id + " ";
  const std::vector<size_t> ends = CharacterEnds(trimmed);
  if (ends.size() <= kMaxTitleCharacters && head.size() + trimmed.size() <= kMaxFolderNameBytes)
    return head + std::string(trimmed);
  // Cut: as many characters as fit beside "…" under both bounds.
  const std::string_view ellipsis = "…";
  size_t kept = std::min(ends.size(), kMaxTitleCharacters - 1);
  while (kept > 0 && head.size() + ends[kept - 1] + ellipsis.size() > kMaxFolderNameBytes) --kept;
  if (kept == 0) return id;
  return head + std::string(Trim(trimmed.substr(0, ends[kept - 1]))) + std::string(ellipsis);
}

PageScan PersonAlbumsSource::ReadPage(std::string_view bytes, const std::string&) const {
  const std::string page = ScrubUtf8(bytes);
  PageScan scan;
  const std::string_view rest = ScanAlbumList(page, [&](ListedAlbum album) {
    // Only albums of the service's own host are walked, over https like the list.
    const std::optional<PageAddress> form = ReadPageAddress(album.address);
    if (!form || !form->https || form->kind != PageKind::kAlbum) return;
    scan.lists.push_back({std::move(album.id), std::move(album.title), std::move(album.address)});
  });
  // A page without albums is the list's end.
  if (!scan.lists.empty()) scan.next = NextPageAddress(rest);
  return scan;
}

std::string MakeSubfolder(const std::string& folder, const std::string& name) {
  const std::string inside = FileInFolder(folder, name);
  std::error_code error;
  std::filesystem::create_directory(PathFromUtf8(inside), error);
  if (!error && std::filesystem::is_directory(PathFromUtf8(inside), error)) return {};
  return "无法创建文件夹：" + QuotedText(inside) +
         (error ? "\n" + QuotedText(error.message()) : std::string());
}

}  // namespace tarn
