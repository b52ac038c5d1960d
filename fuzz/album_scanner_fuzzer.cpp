// SPDX-License-Identifier: MIT
// Album pages from a server we do not control, converted as the worker converts them, scanned
// for photos and walked from page to page. Input: pages separated by NUL bytes; each next-page
// link leads to the following page. Every address must come from the page, with at most its
// first "thumb" turned into "photo"; a scan holds no more address bytes than the page has.
// Today's scan reads every page too: one photo per marker at most, bounded captions, and no
// more bytes of addresses and captions than the page has.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "base/text.h"
#include "download/album_scanner.h"
#include "download/today_scanner.h"
#include "fuzz_check.h"
#include "net/utf8_to_ansi.h"

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
  const std::string_view rest = ScanTodayPhotos(page, [&](ListedPhoto photo) {
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
