// SPDX-License-Identifier: MIT
#include "download/person_albums_source.h"

#include "base/clean_text.h"
#include "base/cut_text.h"
#include "base/text.h"
#include "download/album_list_scanner.h"
#include "download/album_scanner.h"
#include "download/run_context.h"
#include "settings/page_address.h"

namespace tarn {
namespace {

// Characters of a title kept in a folder name: enough to know the album by.
constexpr size_t kMaxTitleCharacters = 80;

}  // namespace

std::string AlbumFolderName(const std::string& id, const std::string& title) {
  std::string safe;
  for (const char c : CleanText(title)) {
    // What Windows refuses in a name, and the separators of every system.
    safe += std::string_view("<>:\"/\\|?*").find(c) == std::string_view::npos ? c : '_';
  }
  std::string cut = CutText(safe, kMaxTitleCharacters);
  // "…" marks a cut; trailing dots and blanks are refused on Windows.
  while (!cut.empty() && (cut.back() == '.' || cut.back() == ' ')) cut.pop_back();
  const std::string_view trimmed = Trim(cut);
  return trimmed.empty() ? id : id + " " + std::string(trimmed);
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
    albums_.push_back({album.id, album.title, album.address,
                       std::make_unique<TodayAlbumSource>(/*notice_ends_run=*/false)});
  });
  return fresh > 0 ? NextPageAddress(rest) : std::nullopt;
}

bool PersonAlbumsSource::AfterWalk(RunContext& run) {
  for (Album& album : albums_) {
    if (run.Ended()) return false;
    const std::optional<std::string> page = run.FetchPageText(album.address, list_address_);
    if (!page) return false;
    if (!run.Walk(*album.source, FirstPage{album.address, *page, true})) return false;
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
    const std::string name = "相册 " + album.id + " " + QuotedText(album.title) + "：";
    if (album.source->NotPublic()) {
      run.ReportSection(name + "没有公开，跳过");
      continue;
    }
    album.source->SaveInto(run, AlbumFolderName(album.id, album.title), true);
    run.ReportSection(name + std::to_string(album.source->Count()) + " 张照片，已保存 " +
                      std::to_string(run.Result().saved - saved_before) + " 张");
  }
}

}  // namespace tarn
