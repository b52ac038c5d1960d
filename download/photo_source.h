// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "download/page_scan.h"
#include "service/photo_ladder.h"

namespace tarn {

struct WalkedList;

// One kind of page a run saves photos from: it reads a page into what the page gives, and
// knows its list's text file. It fetches nothing and saves nothing; the run walks its pages
// and writes the files.
class PhotoSource {
 public:
  virtual ~PhotoSource() = default;

  // Reads one fetched page (its bytes as they came).
  virtual PageScan ReadPage(std::string_view page, const std::string& address) const = 0;
  // Whether the walk keeps each photo once by its name, and ends where pages only repeat what
  // was listed; an album over plain HTTP keeps every address as often as it comes.
  virtual bool ListsOnce() const { return true; }
  // The ladder of sizes its photos are asked for at.
  virtual PhotoLadder Ladder() const { return PhotoLadder::kAlbum; }
  // A list of lists: the source of the lists its pages name, which the run walks and saves
  // one after another; nothing for a list of photos.
  virtual const PhotoSource* ListSource() const { return nullptr; }
  // Writes the list's text file into `folder`, with the file each photo has or will have.
  // Raises net::FileStreamError when it cannot be written.
  virtual void WriteText(const std::string& folder, const WalkedList& list,
                         const std::vector<std::string>& names) const {
    (void)folder, (void)list, (void)names;
  }
};

}  // namespace tarn
