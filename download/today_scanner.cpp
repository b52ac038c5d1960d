// SPDX-License-Identifier: MIT
#include "download/today_scanner.h"

#include "base/text.h"
#include "download/html_text.h"

namespace tarn {
namespace {

constexpr std::string_view kPhotoMarker = "photolst_photo";
constexpr std::string_view kImageTag = "<img";
// Longest photo address taken: real ones are under 100 bytes.
constexpr size_t kMaxAddressBytes = 4096;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

size_t SkipBlanks(std::string_view text, size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

// Walks a tag's attributes from just after its name, calling `attribute` with each name and
// raw value; returns the position after the tag's '>', or npos when the text ends first.
template <class Attribute>
size_t ReadAttributes(std::string_view text, size_t at, Attribute&& attribute) {
  while (at < text.size()) {
    const char c = text[at];
    if (c == '>') return at + 1;
    if (IsBlank(c) || c == '/' || c == '"' || c == '\'' || c == '=') {
      ++at;
      continue;
    }
    const size_t name_start = at;
    while (at < text.size() && !IsBlank(text[at]) && text[at] != '=' && text[at] != '>' &&
           text[at] != '/')
      ++at;
    const std::string_view name = text.substr(name_start, at - name_start);
    std::string_view value;
    at = SkipBlanks(text, at);
    if (at < text.size() && text[at] == '=') {
      at = SkipBlanks(text, at + 1);
      if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const size_t close = text.find(text[at], at + 1);
        if (close == std::string_view::npos) return std::string_view::npos;
        value = text.substr(at + 1, close - at - 1);
        at = close + 1;
      } else {
        const size_t start = at;
        while (at < text.size() && !IsBlank(text[at]) && text[at] != '>') ++at;
        value = text.substr(start, at - start);
      }
    }
    attribute(name, value);
  }
  return std::string_view::npos;
}

// Where the next <img tag of `text` starts at or after `from`, or npos.
size_t FindImageTag(std::string_view text, size_t from) {
  while (true) {
    const size_t at = text.find(kImageTag, from);
    if (at == std::string_view::npos) return at;
    const size_t after = at + kImageTag.size();
    if (after == text.size() || IsBlank(text[after]) || text[after] == '/' || text[after] == '>')
      return at;
    from = after;
  }
}

// The caption in the `title` of the tag that holds the marker at `marker`, the tag opening
// after `from`; sets `after_tag` past the tag when the marker stands inside one.
std::string LinkCaption(std::string_view region, size_t from, size_t marker, size_t& after_tag) {
  const size_t found = region.substr(from, marker - from).rfind('<');
  if (found == std::string_view::npos) return {};
  const size_t open = from + found;
  std::string_view title;
  bool has_title = false;
  size_t at = open + 1;
  while (at < region.size() && !IsBlank(region[at]) && region[at] != '>') ++at;
  const size_t end = ReadAttributes(region, at, [&](std::string_view name, std::string_view value) {
    if (!has_title && EqualsIgnoringAsciiCase(name, "title")) {
      title = value;
      has_title = true;
    }
  });
  // A tag that closed before the marker does not carry it.
  if (end != std::string_view::npos && end <= marker) return {};
  after_tag = end == std::string_view::npos ? region.size() : end;
  return CutUtf8(DecodeHtmlEntities(Trim(title)), kMaxCaptionBytes);
}

}  // namespace

std::string_view ScanTodayPhotos(std::string_view page,
                                 const std::function<void(ListedPhoto photo)>& found) {
  size_t rest = 0;
  size_t done = 0;  // nothing before this is looked at again
  size_t marker = page.find(kPhotoMarker);
  while (marker != std::string_view::npos) {
    const size_t next = page.find(kPhotoMarker, marker + kPhotoMarker.size());
    // Everything of this entry stands before the next marker: a tag never closed on a
    // hostile page then costs only its own entry.
    const std::string_view region =
        page.substr(0, next == std::string_view::npos ? page.size() : next);
    size_t after_link = marker + kPhotoMarker.size();
    std::string caption = LinkCaption(region, done, marker, after_link);
    done = after_link;
    const size_t image = FindImageTag(region, after_link);
    if (image != std::string_view::npos) {
      std::string_view src;
      bool has_src = false;
      const size_t end = ReadAttributes(region, image + kImageTag.size(),
                                        [&](std::string_view name, std::string_view value) {
                                          if (!has_src && EqualsIgnoringAsciiCase(name, "src")) {
                                            src = value;
                                            has_src = true;
                                          }
                                        });
      done = end == std::string_view::npos ? region.size() : end;
      std::string address = DecodeHtmlEntities(Trim(src));
      if (!address.empty() && address.size() <= kMaxAddressBytes) {
        found(ListedPhoto{std::move(address), std::move(caption)});
        rest = done;
      }
    }
    marker = next;
  }
  return page.substr(rest);
}

}  // namespace tarn
