// SPDX-License-Identifier: MIT
#include "download/poster_scanner.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "download/album_photo_scanner.h"
#include "download/album_scanner.h"
#include "download/html_tag.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kListTag = "<ul";
constexpr std::string_view kListEnd = "</ul";
constexpr std::string_view kListClass = "poster-col3";
constexpr std::string_view kEntryTag = "<li";
constexpr std::string_view kImageTag = "<img";
constexpr std::string_view kDivTag = "<div";
constexpr std::string_view kDivEnd = "</div";
constexpr std::string_view kSizeClass = "prop";
constexpr std::string_view kCaptionClass = "name";
constexpr std::string_view kImagePath = "/view/photo/";
constexpr std::string_view kPublicName = "/public/p";
constexpr std::array<std::string_view, 4> kListedSizes = {"photo", "m", "s", "sqs"};
constexpr std::array<std::string_view, 2> kExtensions = {".jpg", ".webp"};
// Most digits of a photo id: ids have 10 today, 19 still fit a 64-bit number.
constexpr size_t kMaxIdDigits = 19;
// Most digits of one dimension: no listed photo is 100000 pixels wide.
constexpr size_t kMaxDimensionDigits = 5;
constexpr std::string_view kSiteSuffix = "(豆瓣)";
constexpr std::array<std::string_view, 5> kPhotoKinds = {"图片", "剧照", "海报", "壁纸", "照片"};
constexpr std::string_view kOf = "的";
// Longest name kept, in bytes: names are short, a hostile page's title may not be.
constexpr size_t kMaxTitleBytes = 1024;

bool IsDigits(std::string_view text, size_t max_digits) {
  return !text.empty() && text.size() <= max_digits &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The id in a listed image address ".../view/photo/<size>/public/p<id>.<ext>", or nothing for
// an address of another shape.
std::optional<std::string> ListedPhotoId(std::string_view address) {
  const size_t path = address.rfind(kImagePath);
  if (path == std::string_view::npos) return std::nullopt;
  std::string_view rest = address.substr(path + kImagePath.size());
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos || std::find(kListedSizes.begin(), kListedSizes.end(),
                                                   rest.substr(0, slash)) == kListedSizes.end())
    return std::nullopt;
  rest.remove_prefix(slash);
  if (!rest.starts_with(kPublicName)) return std::nullopt;
  rest.remove_prefix(kPublicName.size());
  for (const std::string_view extension : kExtensions) {
    if (!rest.ends_with(extension)) continue;
    const std::string_view digits = rest.substr(0, rest.size() - extension.size());
    if (IsDigits(digits, kMaxIdDigits)) return std::string(digits);
  }
  return std::nullopt;
}

// "1200x800" when the text, blanks around it aside, is two dimensions; empty otherwise.
std::string Dimensions(std::string_view text) {
  text = Trim(text);
  const size_t x = text.find('x');
  if (x == std::string_view::npos || !IsDigits(text.substr(0, x), kMaxDimensionDigits) ||
      !IsDigits(text.substr(x + 1), kMaxDimensionDigits))
    return {};
  return std::string(text);
}

// The photo of one entry, the text between its <li> tag and the next.
std::optional<PosterPhoto> ReadEntry(std::string_view entry,
                                     std::optional<std::string_view> data_id) {
  const size_t image = FindTag(entry, 0, kImageTag);
  if (image == std::string_view::npos) return std::nullopt;
  size_t end = 0;
  const std::optional<std::string_view> src =
      FirstAttribute(entry, image + kImageTag.size(), "src", end);
  if (!src) return std::nullopt;
  std::string address = DecodeHtmlEntities(Trim(*src));
  if (address.size() > kMaxAddressBytes) return std::nullopt;
  std::optional<std::string> id = ListedPhotoId(address);
  // An entry whose two ids disagree is not understood: better skipped than saved misnamed.
  if (!id || (data_id && Trim(*data_id) != *id)) return std::nullopt;
  PosterPhoto photo{std::move(*id), std::move(address), {}, {}};
  bool has_size = false;
  bool has_caption = false;
  size_t at = FindTag(entry, 0, kDivTag);
  while (at != std::string_view::npos && !(has_size && has_caption)) {
    const std::optional<std::string_view> classes =
        FirstAttribute(entry, at + kDivTag.size(), "class", end);
    if (end == std::string_view::npos) break;
    const bool is_size = !has_size && classes && HasClass(*classes, kSizeClass);
    const bool is_caption = !has_caption && classes && HasClass(*classes, kCaptionClass);
    at = end;
    if (is_size || is_caption) {
      at = std::min(entry.find(kDivEnd, end), entry.size());
      const std::string_view content = entry.substr(end, at - end);
      if (is_size) photo.size = Dimensions(content);
      if (is_caption) photo.caption = CutUtf8(ShownText(content), kMaxCaptionBytes);
      has_size = has_size || is_size;
      has_caption = has_caption || is_caption;
    }
    at = FindTag(entry, at, kDivTag);
  }
  return photo;
}

void ScanList(std::string_view list, const std::function<void(PosterPhoto photo)>& found) {
  size_t at = FindTag(list, 0, kEntryTag);
  while (at != std::string_view::npos) {
    size_t end = 0;
    const std::optional<std::string_view> data_id =
        FirstAttribute(list, at + kEntryTag.size(), "data-id", end);
    if (end == std::string_view::npos) return;  // the tag swallows the rest of the list
    const size_t next = FindTag(list, end, kEntryTag);
    const size_t stop = next == std::string_view::npos ? list.size() : next;
    if (std::optional<PosterPhoto> photo = ReadEntry(list.substr(end, stop - end), data_id))
      found(std::move(*photo));
    at = next;
  }
}

}  // namespace

std::string_view ScanPosterPhotos(std::string_view page,
                                  const std::function<void(PosterPhoto photo)>& found) {
  size_t rest = 0;
  size_t at = FindTag(page, 0, kListTag);
  while (at != std::string_view::npos) {
    size_t end = 0;
    const std::optional<std::string_view> classes =
        FirstAttribute(page, at + kListTag.size(), "class", end);
    // A tag never closed swallows the rest of the page, as in a browser.
    if (end == std::string_view::npos) break;
    if (classes && HasClass(*classes, kListClass)) {
      const size_t close = std::min(page.find(kListEnd, end), page.size());
      ScanList(page.substr(end, close - end), found);
      rest = end = close;
    }
    at = FindTag(page, end, kListTag);
  }
  return page.substr(rest);
}

std::optional<std::string> NextPosterPage(std::string_view rest) {
  const std::optional<std::string> next = NextPageAddress(rest);
  if (!next) return std::nullopt;
  std::string address(Trim(DecodeHtmlEntities(*next)));
  if (address.empty()) return std::nullopt;
  return address;
}

namespace {

// The page's <title>, entities decoded and blanks folded, without a trailing "(豆瓣)"; empty
// without a title.
std::string TitleWithoutSite(std::string_view page) {
  const std::optional<std::string_view> enclosed = PageTitle(page);
  if (!enclosed) return {};
  std::string title = FoldBlanks(DecodeHtmlEntities(*enclosed));
  // The suffix goes only after something else: the folded title starts with no blank.
  if (title.size() > kSiteSuffix.size() && title.ends_with(kSiteSuffix)) {
    title.resize(title.size() - kSiteSuffix.size());
    if (title.back() == ' ') title.pop_back();  // one blank at most: the title is folded
  }
  return title;
}

}  // namespace

std::string PostTitle(std::string_view page) {
  return CutUtf8(TitleWithoutSite(page), kMaxTitleBytes);
}

std::string ReadPosterTitle(std::string_view page) {
  const std::string title = TitleWithoutSite(page);
  std::string_view name = title;
  // A part goes only after something else: the folded title starts with no blank, so a name
  // always stays.
  const auto drop = [&name](std::string_view suffix) {
    if (name.size() <= suffix.size() || !name.ends_with(suffix)) return false;
    name = Trim(name.substr(0, name.size() - suffix.size()));
    return true;
  };
  for (const std::string_view kind : kPhotoKinds) {
    if (!drop(kind)) continue;
    drop(kOf);
    break;
  }
  return CutUtf8(std::string(name), kMaxTitleBytes);
}

}  // namespace tarn
