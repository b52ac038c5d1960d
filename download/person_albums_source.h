// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "download/album_source.h"
#include "download/photo_source.h"

namespace tarn {

// A person's album list, which the service shows only to a signed-in visitor: its pages name
// the albums, which the run walks and saves one after another, each into a subfolder
// `<album id> <title>` with its own text file.
class PersonAlbumsSource final : public PhotoSource {
 public:
  PageScan ReadPage(std::string_view page, const std::string& address) const override;
  const PhotoSource* ListSource() const override { return &albums_; }

 private:
  AlbumSource albums_;
};

// The subfolder of an album: "<id> <title>", the title cleaned of what a file name may not
// hold on any system and cut to 80 characters ("…" included) and the whole name to a length
// every file system takes; "<id>" alone without a title.
std::string AlbumFolderName(const std::string& id, const std::string& title);

// Makes folder `name` inside `folder` (an existing one will do): empty, or why it cannot be.
std::string MakeSubfolder(const std::string& folder, const std::string& name);

}  // namespace tarn
