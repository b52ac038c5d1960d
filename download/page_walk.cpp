// SPDX-License-Identifier: MIT
#include "download/page_walk.h"

namespace tarn {
namespace {

// A walk that keeps finding new pages is a server's loop, not an album.
constexpr int kMaxPages = 2000;

}  // namespace

std::optional<std::string> WalkedList::Shortfall() const {
  const auto found = static_cast<int64_t>(photos.size());
  if (!facts.photo_count || found >= *facts.photo_count) return std::nullopt;
  return "相册写着 " + std::to_string(*facts.photo_count) + " 张，只找到 " + std::to_string(found) +
         " 张";
}

ListGatherer::ListGatherer(const PhotoSource& source, const std::string& address, size_t room)
    : once_(source.ListsOnce()), room_(room) {
  list_.address = address;
}

std::optional<std::string> ListGatherer::Take(PageScan scan, const std::string& address,
                                              std::string& gap) {
  if (++pages_ == 1 && scan.facts) list_.facts = std::move(*scan.facts);
  if (scan.stop) {
    if (pages_ == 1) list_.failure = RunEnd{*scan.stop, std::move(scan.why)};
    return std::nullopt;
  }
  const size_t listed = scan.photos.size() + scan.lists.size();
  size_t fresh = 0;
  for (ScannedPhoto& photo : scan.photos) {
    if (once_ && !listed_.insert(photo.id ? *photo.id : photo.listed.address).second) continue;
    ++fresh;
    if (list_.photos.size() >= room_) {
      truncated_ = true;
      continue;
    }
    list_.photos.push_back(std::move(photo));
  }
  for (ScannedList& named : scan.lists) {
    if (!listed_.insert(named.id).second) continue;
    ++fresh;
    list_.lists.push_back(std::move(named));
  }
  if (!once_) return scan.next;
  // Pages that only repeat what was listed lead nowhere new.
  if (listed > 0 && fresh == 0) return std::nullopt;
  if (listed == 0 && scan.next) {
    // A later page lost keeps what the pages before it gave.
    if (pages_ > 1)
      gap = "页面上没有找到照片，后面的页没有读取：" + QuotedText(address);
    else
      list_.failure = RunEnd{RunResult::Stop::kAlbumPage,
                             "页面上没有找到照片，下载已停止：" + QuotedText(address)};
    return std::nullopt;
  }
  return scan.next;
}

PageWalk::PageWalk(Fetcher& fetcher, RunReport& report, const DownloadJob& job)
    : fetcher_(fetcher), report_(report), job_(job) {}

bool PageWalk::Walk(const PhotoSource& source, const FirstPage& first, WalkedList& list) {
  ListGatherer gatherer(source, first.address, job_.settings.max_photos - photos_);
  std::string gap;
  std::optional<std::string> next =
      gatherer.Take(source.ReadPage(first.body, first.address), first.address, gap);
  std::set<std::string> visited;
  for (int pages = 1; job_.all_pages && pages < kMaxPages && !gatherer.Truncated(); ++pages) {
    // A page that links back to one already read would never end the walk.
    if (!next || !visited.insert(*next).second) break;
    if (const std::optional<std::string> why = fetcher_.Policy().Refuses(*next)) {
      report_.Gap("相册的下一页没有读取：" + *why + QuotedText(*next));
      break;
    }
    const std::string address = std::move(*next);
    std::string error;
    const std::optional<std::string> page = fetcher_.FetchPartPage(address, first.address, error);
    if (report_.Ended()) return false;
    if (!page) {
      // What the pages before gave is still saved; the next run tries this page again.
      report_.Gap("第 " + std::to_string(pages + 1) + " 页无法读取，只保存了前 " +
                  std::to_string(pages) + " 页的照片：" + QuotedText(address) + "\n" + error);
      break;
    }
    next = gatherer.Take(source.ReadPage(*page, address), address, gap);
    if (!gap.empty()) report_.Gap(std::move(gap));
  }
  if (gatherer.Truncated()) report_.Truncated();
  photos_ += gatherer.List().photos.size();
  list = std::move(gatherer.List());
  return !report_.Ended();
}

}  // namespace tarn
