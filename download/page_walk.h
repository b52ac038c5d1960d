// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "download/download_job.h"
#include "download/fetcher.h"
#include "download/photo_source.h"
#include "download/run_report.h"

namespace tarn {

// What the walk over one list's pages gathered.
struct WalkedList {
  std::string address;  // its first page: the Referer of its photos, named in its text
  AlbumFacts facts;     // what its first page says of it
  std::vector<ScannedPhoto> photos;
  std::vector<ScannedList> lists;  // a list of lists: the lists it names
  std::optional<RunEnd> failure;   // why the list cannot be read at all

  // "The album says N, M were found", when its pages listed fewer than it says it holds.
  std::optional<std::string> Shortfall() const;
};

// Gathers a list's pages one after another, without a network: each photo once by its name
// (for sources that list once), no more photos than the run may hold.
class ListGatherer {
 public:
  ListGatherer(const PhotoSource& source, const std::string& address, size_t room);

  // Takes one page's scan: the next page to walk to, or nothing. A page whose entries were all
  // listed before ends the walk; a page without photos that links further ends it too, and
  // `gap` says so for a later page (the first page's makes the list's failure).
  std::optional<std::string> Take(PageScan scan, const std::string& address, std::string& gap);

  WalkedList& List() { return list_; }
  bool Truncated() const { return truncated_; }

 private:
  const bool once_;
  size_t room_;
  size_t pages_ = 0;
  std::set<std::string> listed_;
  WalkedList list_;
  bool truncated_ = false;
};

// The walk over a list's pages from its first: fetched with the run's manners (only the first
// unless the job asks for all), bounded, never twice to one page. A later page that cannot be
// had is a gap of the run; what the pages before it gave is kept.
class PageWalk {
 public:
  PageWalk(Fetcher& fetcher, RunReport& report, const DownloadJob& job);

  // The list `source` reads from `first` on; false when the run ended on the way.
  bool Walk(const PhotoSource& source, const FirstPage& first, WalkedList& list);
  // Photos kept by every walk of the run.
  size_t Photos() const { return photos_; }

 private:
  Fetcher& fetcher_;
  RunReport& report_;
  const DownloadJob& job_;
  size_t photos_ = 0;
};

}  // namespace tarn
