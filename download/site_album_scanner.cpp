// SPDX-License-Identifier: MIT
#include "download/site_album_scanner.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "download/album_photo_scanner.h"
#include "download/html_tag.h"
#include "download/html_text.h"
#include "download/photo_name.h"

namespace tarn {
namespace {

constexpr std::string_view kLinkTag = "<a";
constexpr std::string_view kLinkEnd = "</a";
constexpr std::string_view kImageTag = "<img";
constexpr std::string_view kEntryClass = "album_photo";
constexpr std::string_view kDescClass = "desc";
constexpr std::string_view kParagraph = "<p";
constexpr std::string_view kParagraphEnd = "</p";
constexpr std::string_view kImagePath = "/view/photo/";
// The sizes a site's photo is served at: an album's cover ("albumcover") is none of them.
constexpr std::array<std::string_view, 5> kSizes = {"thumb", "photo", "l", "large", "raw"};

bool AtASiteSize(std::string_view address) {
  const size_t at = address.find(kImagePath);
  const std::string_view size = address.substr(at + kImagePath.size());
  return std::find(kSizes.begin(), kSizes.end(), size.substr(0, size.find('/'))) != kSizes.end();
}

// The short caption in the "desc" block after the link, up to the next entry.
std::string DescText(std::string_view after) {
  size_t end = 0;
  const size_t desc = FindTagOfClass(after, 0, "<div", kDescClass, end);
  if (desc == std::string_view::npos) return {};
  const size_t paragraph = FindTag(after, end, kParagraph);
  if (paragraph == std::string_view::npos || paragraph > DivEnd(after, end)) return {};
  size_t content = 0;
  FirstAttribute(after, paragraph + kParagraph.size(), "class", content);
  if (content == std::string_view::npos) return {};
  const size_t close = std::min(after.find(kParagraphEnd, content), after.size());
  return ShownText(after.substr(content, close - content));
}

}  // namespace

std::string_view ScanSitePhotos(std::string_view page,
                                const std::function<void(SitePhoto photo)>& found) {
  size_t rest = 0;
  size_t end = 0;
  size_t at = FindTagOfClass(page, 0, kLinkTag, kEntryClass, end);
  while (at != std::string_view::npos) {
    size_t ignored = 0;
    const std::optional<std::string_view> title =
        FirstAttribute(page, at + kLinkTag.size(), "title", ignored);
    size_t next_end = 0;
    const size_t next = FindTagOfClass(page, end, kLinkTag, kEntryClass, next_end);
    const size_t stop = next == std::string_view::npos ? page.size() : next;
    const std::string_view entry = page.substr(end, stop - end);
    const size_t close = std::min(entry.find(kLinkEnd), entry.size());
    const size_t image = FindTag(entry.substr(0, close), 0, kImageTag);
    size_t image_end = 0;
    const std::optional<std::string_view> src =
        image == std::string_view::npos
            ? std::nullopt
            : FirstAttribute(entry, image + kImageTag.size(), "src", image_end);
    if (src && src->size() <= kMaxAddressBytes) {
      std::string address = DecodeHtmlEntities(Trim(*src));
      std::optional<std::string> id = PictureId(address, kImagePath, false);
      if (id && AtASiteSize(address)) {
        std::string caption = title ? FoldBlanks(DecodeHtmlEntities(*title)) : std::string();
        if (caption.empty()) caption = DescText(entry.substr(close));
        found({std::move(*id), std::move(address), CutUtf8(std::move(caption), kMaxCaptionBytes)});
        rest = image_end == std::string_view::npos ? page.size() : end + image_end;
      }
    }
    at = next;
    end = next_end;
  }
  return page.substr(rest);
}

}  // namespace tarn
