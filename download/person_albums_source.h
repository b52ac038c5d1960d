// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "download/photo_source.h"
#include "download/today_album_source.h"

namespace tarn {

// A person's albums, which the service shows only to a signed-in visitor: the album list's
// pages, then every album's pages, so that the run's counts cover them all; each album is saved
// into a subfolder `<album id> <title>` with its own text file, one after another.
class PersonAlbumsSource final : public PhotoSource {
 public:
  std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                      const std::string& address) override;
  bool AfterWalk(RunContext& run) override;
  void SavePhotos(RunContext& run) override;

 private:
  struct Album {
    std::string id, title, address;
    std::unique_ptr<TodayAlbumSource> source;
    std::string failure;  // why the album cannot be saved; empty while it can
  };
  std::string list_address_;  // the list's first page: the Referer of the albums' first pages
  std::set<std::string> listed_;
  std::vector<Album> albums_;
};

// The subfolder of an album: "<id> <title>", the title cleaned of what a file name may not
// hold on any system and cut to 80 characters ("…" included) and the whole name to a length
// every file system takes; "<id>" alone without a title.
std::string AlbumFolderName(const std::string& id, const std::string& title);

// Makes folder `name` inside `folder` (an existing one will do): empty, or why it cannot be.
std::string MakeSubfolder(const std::string& folder, const std::string& name);

}  // namespace tarn
