// SPDX-License-Identifier: MIT
#include "download/topic_scanner.h"

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
constexpr std::string_view kImageTag = "<img";
constexpr std::string_view kLinkTag = "<a";
constexpr std::string_view kLinkEnd = "</a";
constexpr std::string_view kPostClasses[] = {"rich-content", "topic-richtext"};
constexpr std::string_view kImagePath = "/view/group_topic/";
// Longest author kept, in bytes: names are short, a hostile page's may not be.
constexpr size_t kMaxNameBytes = 1024;

std::string Author(std::string_view page) {
  size_t end = 0;
  if (FindTagOfClass(page, 0, "<span", "from", end) == std::string_view::npos) return {};
  const size_t close_span = std::min(page.find("</span", end), page.size());
  const size_t link = FindTag(page.substr(0, close_span), end, kLinkTag);
  if (link == std::string_view::npos) return {};
  FirstAttribute(page, link + kLinkTag.size(), "href", end);
  if (end == std::string_view::npos) return {};
  const size_t close = std::min(page.find(kLinkEnd, end), page.size());
  return CutUtf8(ShownText(page.substr(end, close - end)), kMaxNameBytes);
}

}  // namespace

PostPictures ScanTopicPictures(std::string_view page) {
  PostPictures post{PostTitle(page), Author(page), {}};
  size_t post_start = std::string_view::npos;
  for (const std::string_view name : kPostClasses) {
    size_t end = 0;
    if (FindTagOfClass(page, 0, kDivTag, name, end) != std::string_view::npos)
      post_start = std::min(post_start, end);
  }
  if (post_start == std::string_view::npos) return post;
  const std::string_view inside = page.substr(post_start, DivEnd(page, post_start) - post_start);
  std::set<std::string> seen;
  size_t end = 0;
  for (size_t image = FindTag(inside, 0, kImageTag); image != std::string_view::npos;
       image = FindTag(inside, end, kImageTag)) {
    const std::optional<std::string_view> src =
        FirstAttribute(inside, image + kImageTag.size(), "src", end);
    if (end == std::string_view::npos) break;
    if (!src || src->size() > kMaxAddressBytes) continue;
    std::string address = DecodeHtmlEntities(Trim(*src));
    std::optional<std::string> id = PictureId(address, kImagePath, false);
    if (id && seen.insert(*id).second)
      post.pictures.push_back({std::move(*id), std::move(address)});
  }
  return post;
}

}  // namespace tarn
