// SPDX-License-Identifier: MIT
#include "download/person_albums_source.h"

#include <filesystem>

#include "base/clean_text.h"
#include "base/cut_text.h"
#include "base/file_path.h"
#include "base/text.h"
#include "download/album_list_scanner.h"
#include "download/album_scanner.h"
#include "download/run_context.h"
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

std::string AlbumName(const std::string& id, const std::string& title) {
  return "相册 " + id + " " + QuotedText(title) + "：";
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

std::optional<std::string> PersonAlbumsSource::ReadPage(RunContext&, std::string_view bytes,
                                                        const std::string& address) {
  if (list_address_.empty()) list_address_ = address;
  const std::string page = ScrubUtf8(bytes);
  size_t fresh = 0;
  const std::string_view rest = ScanAlbumList(page, [&](ListedAlbum album) {
    if (!listed_.insert(album.id).second) return;
    ++fresh;
    // Only albums of the service's own host are walked, over https like the list.
    const std::optional<PageAddress> form = ReadPageAddress(album.address);
    if (!form || !form->https || form->kind != PageKind::kAlbum) return;
    // An album shut even to this visitor is passed over; the others are still saved.
    albums_.push_back({album.id,
                       album.title,
                       album.address,
                       std::make_unique<TodayAlbumSource>(/*one_of_many=*/true),
                       {}});
  });
  return fresh > 0 ? NextPageAddress(rest) : std::nullopt;
}

bool PersonAlbumsSource::AfterWalk(RunContext& run) {
  for (Album& album : albums_) {
    if (run.Ended()) return false;
    const std::optional<std::string> page =
        run.FetchPartPage(album.address, list_address_, album.failure);
    if (run.Ended()) return false;
    // An album that cannot be read costs only itself: it is told, and the others are saved.
    if (!page) {
      album.failure = "无法读取：" + QuotedText(album.address) + "\n" + album.failure;
      continue;
    }
    if (!run.Walk(*album.source, FirstPage{album.address, *page, true})) return false;
    album.failure = album.source->Failure();
    if (!run.Job().all_pages || run.Result().truncated) continue;
    if (const std::optional<std::string> shortfall = album.source->Shortfall())
      run.CutWalk(AlbumName(album.id, album.title) + *shortfall);
  }
  return true;
}

void PersonAlbumsSource::SavePhotos(RunContext& run) {
  if (albums_.empty()) {
    run.EndRun(RunResult::Stop::kAlbumPage, "没有找到相册：" + QuotedText(list_address_));
    return;
  }
  for (Album& album : albums_) {
    if (run.Ended()) return;
    const int saved_before = run.Result().saved;
    const std::string name = AlbumName(album.id, album.title);
    if (album.source->NotPublic()) {
      run.ReportSection(name + "没有公开，跳过");
      continue;
    }
    const std::string folder = AlbumFolderName(album.id, album.title);
    if (album.failure.empty()) album.failure = MakeSubfolder(run.Job().Now().folder, folder);
    if (!album.failure.empty()) {
      run.ReportSection(name + "没有保存");
      run.CutWalk(name + album.failure);
      continue;
    }
    album.source->SaveInto(run, folder, true);
    run.ReportSection(name + std::to_string(album.source->Count()) + " 张照片，已保存 " +
                      std::to_string(run.Result().saved - saved_before) + " 张");
  }
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
