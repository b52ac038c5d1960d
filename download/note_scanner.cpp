// SPDX-License-Identifier: MIT
#include "download/note_scanner.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "download/album_photo_scanner.h"
#include "download/html_tag.h"
#include "download/html_text.h"
#include "download/photo_name.h"
#include "download/poster_scanner.h"

namespace tarn {
namespace {

constexpr std::string_view kDivTag = "<div";
constexpr std::string_view kDivEnd = "</div";
constexpr std::string_view kImageTag = "<img";
constexpr std::string_view kLinkTag = "<a";
constexpr std::string_view kLinkEnd = "</a";
constexpr std::string_view kPictureClass = "image-container";
constexpr std::string_view kAuthorClass = "note-author";
constexpr std::string_view kImagePath = "/view/note/";
// Longest author kept, in bytes: names are short, a hostile page's may not be.
constexpr size_t kMaxNameBytes = 1024;

}  // namespace

PostPictures ScanNotePictures(std::string_view page) {
  PostPictures post{PostTitle(page), {}, {}};
  size_t end = 0;
  if (const size_t author = FindTagOfClass(page, 0, kLinkTag, kAuthorClass, end);
      author != std::string_view::npos) {
    const size_t close = std::min(page.find(kLinkEnd, end), page.size());
    post.author = CutUtf8(ShownText(page.substr(end, close - end)), kMaxNameBytes);
  }
  // Each picture stands before the container's first "</div" and before the next container:
  // each image tag is read once, and the page is gone through once.
  std::set<std::string> seen;
  size_t close = 0, image = 0;  // the next "</div" and "<img" found so far
  size_t at = FindTagOfClass(page, 0, kDivTag, kPictureClass, end);
  while (at != std::string_view::npos) {
    const size_t inside = end;
    size_t next_end = 0;
    const size_t next = FindTagOfClass(page, inside, kDivTag, kPictureClass, next_end);
    if (close < inside) close = std::min(page.find(kDivEnd, inside), page.size());
    if (image < inside) image = std::min(FindTag(page, inside, kImageTag), page.size());
    size_t image_end = 0;
    const std::optional<std::string_view> src =
        image < close && image < next
            ? FirstAttribute(page, image + kImageTag.size(), "src", image_end)
            : std::nullopt;
    if (src && src->size() <= kMaxAddressBytes) {
      std::string address = DecodeHtmlEntities(Trim(*src));
      std::optional<std::string> id = PictureId(address, kImagePath, true);
      if (id && seen.insert(*id).second)
        post.pictures.push_back({std::move(*id), std::move(address)});
    }
    at = next;
    end = next_end;
  }
  return post;
}

}  // namespace tarn
