// SPDX-License-Identifier: MIT
// Album pages from a server we do not control, converted as the worker converts them, scanned
// for photos and walked from page to page. Input: pages separated by NUL bytes; each next-page
// link leads to the following page. Every address must come from the page, with at most its
// first "thumb" turned into "photo"; a scan holds no more address bytes than the page has.
// Today's scan reads every page too: one photo per marker at most, bounded captions, and no
// more bytes of addresses and captions than the page has. So does the scan of a star's or a
// film's list: one photo per <li> at most, each named by the id its address ends with.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "base/text.h"
#include "download/album_list_scanner.h"
#include "download/album_photo_scanner.h"
#include "download/album_scanner.h"
#include "download/poster_scanner.h"
#include "download/private_photo.h"
#include "fuzz_check.h"
#include "net/http/utf8_to_ansi.h"

namespace tarn {
namespace {

using fuzz::Check;

// Pages walked per input; the worker stops at its own, larger bound.
constexpr int kMaxPages = 16;
constexpr std::string_view kPhotoMarker = "photolst_photo";
constexpr std::string_view kLastPageLabel = "后页";

size_t Count(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != text.npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The address as it stood in the page: itself, or with one "photo" that was a "thumb".
bool FromPage(std::string_view page, const std::string& address) {
  if (page.find(address) != page.npos) return true;
  for (size_t at = address.find("photo"); at != std::string::npos;
       at = address.find("photo", at + 1)) {
    std::string thumb = address;
    thumb.replace(at, 5, "thumb");
    if (page.find(thumb) != page.npos) return true;
  }
  return false;
}

// Scans one page; the rest of it, where its next link stands.
std::string_view CheckScan(std::string_view page) {
  size_t photos = 0;
  size_t address_bytes = 0;
  const std::string_view rest = ScanPhotos(page, [&](std::string address) {
    ++photos;
    address_bytes += address.size();
    Check(Trim(address) == address, "addresses are trimmed");
    Check(address.find("\" />") == std::string::npos, "an address ends at its tag's close");
    Check(FromPage(page, address), "an address that is not in the page");
  });
  Check(photos <= Count(page, kPhotoMarker), "one address per photo marker at most");
  Check(address_bytes <= page.size(), "addresses hold no more bytes than the page");
  Check(rest.data() >= page.data() && rest.data() + rest.size() <= page.data() + page.size(),
        "the rest lies within the page");
  return rest;
}

void CheckTodayScan(std::string_view page) {
  size_t photos = 0;
  size_t bytes = 0;
  const std::string_view rest = ScanAlbumPhotos(page, [&](ListedPhoto photo) {
    ++photos;
    bytes += photo.address.size() + photo.caption.size();
    Check(!photo.address.empty(), "a listed photo has an address");
    Check(photo.caption.size() <= kMaxCaptionBytes, "captions keep to their limit");
  });
  Check(photos <= Count(page, kPhotoMarker), "one photo per marker at most");
  Check(bytes <= page.size(), "addresses and captions hold no more bytes than the page");
  Check(rest.data() >= page.data() && rest.data() + rest.size() <= page.data() + page.size(),
        "the rest lies within the page");
}

void CheckPosterScan(std::string_view page) {
  size_t photos = 0;
  size_t bytes = 0;
  const std::string_view rest = ScanPosterPhotos(page, [&](PosterPhoto photo) {
    ++photos;
    bytes += photo.address.size() + photo.caption.size();
    Check(!photo.id.empty() && photo.id.find_first_not_of("0123456789") == std::string::npos,
          "an id is digits");
    Check(photo.address.ends_with("/p" + photo.id + ".jpg") ||
              photo.address.ends_with("/p" + photo.id + ".webp"),
          "the id is the one the address ends with");
    Check(photo.caption.size() <= kMaxCaptionBytes, "captions keep to their limit");
    Check(photo.size.empty() || photo.size.find('x') != std::string::npos, "a size is WxH");
  });
  Check(photos <= Count(page, "<li"), "one photo per entry at most");
  // A tag inside a caption may show some of its attribute's text: twice the page at most.
  Check(bytes <= 2 * page.size(), "addresses and captions stay linear in the page");
  Check(rest.data() >= page.data() && rest.data() + rest.size() <= page.data() + page.size(),
        "the rest lies within the page");
  const std::optional<std::string> next = NextPosterPage(rest);
  Check(!next || (!next->empty() && Trim(*next) == *next), "a next address is trimmed");
  Check(ReadPosterTitle(page).size() <= page.size(), "a title is no longer than the page");
}

// A person's album list, and a friends-only photo's own page.
void CheckSignedInPages(std::string_view page) {
  size_t albums = 0;
  std::set<std::string> ids;
  const std::string_view rest = ScanAlbumList(page, [&](ListedAlbum album) {
    ++albums;
    Check(!album.id.empty() && album.id.find_first_not_of("0123456789") == std::string::npos,
          "an album id is digits");
    Check(ids.insert(album.id).second, "an album is listed once");
    Check(album.title.size() <= page.size(), "a title is no longer than the page");
  });
  Check(albums <= Count(page, "/photos/album/"), "one album per link at most");
  Check(rest.data() >= page.data() && rest.data() + rest.size() <= page.data() + page.size(),
        "the rest lies within the page");
  const std::optional<std::string> large = MainPhotoAddress(page);
  Check(!large || (!large->empty() && large->size() <= page.size()),
        "a photo's address is bounded");
  if (const std::optional<std::string> id = PrivatePhotoId(page.substr(0, 300)))
    Check(id->size() >= 2 && (*id)[0] == 'p', "a private photo's id is p and digits");
}

}  // namespace
}  // namespace tarn

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarn;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::set<std::string> visited;
  for (int pages = 0; pages < kMaxPages; ++pages) {
    const size_t end = input.find('\0');
    const std::string page = net::Utf8ToCodePage(input.substr(0, end), net::kAnsiCodePage);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);

    CheckTodayScan(page);
    CheckPosterScan(page);
    CheckSignedInPages(page);
    const std::string_view rest = CheckScan(page);
    const std::optional<std::string> next = NextPageAddress(rest);
    if (!next) break;
    Check(!next->empty() && Trim(*next) == *next, "a next address is trimmed and not empty");
    Check(page.find(*next) != std::string::npos, "a next address that is not in the page");
    Check(next->find(kLastPageLabel) == std::string::npos, "the last page's label is no link");
    Check(next->find("\"/>") == std::string::npos, "a next address ends at its tag's close");
    if (!visited.insert(*next).second || input.empty()) break;
  }
  return 0;
}
