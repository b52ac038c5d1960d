// SPDX-License-Identifier: MIT
#include "download/album_source.h"

#include "base/clean_text.h"
#include "base/cut_text.h"
#include "download/album_scanner.h"
#include "download/album_text.h"
#include "download/page_walk.h"
#include "download/photo_name.h"
#include "download/private_photo.h"
#include "net/http/http_address.h"

namespace tarn {
PageScan AlbumSource::ReadPage(std::string_view bytes, const std::string& address) const {
  // A stray byte in a caption must not cost the page: it becomes U+FFFD.
  const std::string page = ScrubUtf8(bytes);
  PageScan scan;
  scan.facts = ReadAlbumFacts(page);
  if (AlbumIsNotPublic(page)) {
    scan.stop = RunResult::Stop::kNotPublic;
    scan.why = "这个相册没有公开（只有主人或好友能看），无法下载：" + QuotedText(address);
    return scan;
  }
  const std::string_view rest = ScanAlbumPhotos(page, [&](ListedPhoto photo) {
    std::optional<std::string> id = ServicePhotoId(photo.address);
    ScannedPhoto scanned{std::move(photo), std::move(id), std::nullopt};
    if (!scanned.id) {
      // A photo only a signed-in visitor sees has its large address on its own page.
      scanned.id = PrivatePhotoId(scanned.listed.address);
      if (scanned.id)
        // Its own page stands on the album's host.
        scanned.own_page = net::SiteOf(address) + "/photos/photo/" + scanned.id->substr(1) + "/";
    }
    scan.photos.push_back(std::move(scanned));
  });
  scan.next = NextPageAddress(rest);
  return scan;
}

void AlbumSource::WriteText(const std::string& folder, const WalkedList& list,
                            const std::vector<std::string>& names) const {
  std::vector<AlbumTextEntry> entries;
  entries.reserve(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    entries.push_back({names[i], list.photos[i].listed.caption});
  WriteAlbumText(folder, list.address, list.facts, entries);
}

}  // namespace tarn
