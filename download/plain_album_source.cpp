// SPDX-License-Identifier: MIT
#include "download/plain_album_source.h"

#include "download/album_scanner.h"
#include "net/http/http_client.h"

namespace tarn {

PageScan PlainAlbumSource::ReadPage(std::string_view page, const std::string&) const {
  const std::string text = net::HttpClient::Utf8ToAnsi(page);
  PageScan scan;
  const std::string_view rest = ScanPhotos(text, [&scan](std::string address) {
    scan.photos.push_back({ListedPhoto{std::move(address), {}, {}}, std::nullopt, std::nullopt});
  });
  scan.next = NextPageAddress(rest);
  return scan;
}

}  // namespace tarn
