// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// One photo as a star's or a film's photo list (a "poster-col3" list) gives it.
struct PosterPhoto {
  std::string id;       // the digits of "p<id>" in the address, "2918226736"
  std::string address;  // the listed image, /view/photo/<photo|m|s|sqs>/public/p<id>.<jpg|webp>
  std::string size;     // the listed dimensions, "1200x800"; empty when the page has none
  std::string caption;  // the "name" text, entities decoded, blanks folded; may be empty

  bool operator==(const PosterPhoto&) const = default;
};

// Scans a star's or a film's photo page: every <li> inside a <ul> of class "poster-col3" is an
// entry; its first <img>'s `src` (attributes in any order, either quote) must be a listed
// image address; a `data-id` on the <li>, when there is one, must name the same photo. The
// first <div class="prop"> gives the dimensions (digits "x" digits), the first
// <div class="name"> the caption, cut like today's album captions. Entries without such an
// image are skipped, images outside the lists never count. Calls `found` in page order and
// returns the rest of the page after the last list (the whole page without one), where the
// next-page link is looked for. Work and memory stay linear in the page's size.
std::string_view ScanPosterPhotos(std::string_view page,
                                  const std::function<void(PosterPhoto photo)>& found);

// The next page's address as NextPageAddress reads it from the rest of a page, entities
// decoded: a film's links carry "&amp;" between their query's parts.
std::optional<std::string> NextPosterPage(std::string_view rest);

// The star's or the film's name from the page's <title>: entities decoded, blanks folded, a
// trailing "(豆瓣)" and then a trailing kind of photos ("的图片", "剧照", "海报", "壁纸", ...)
// left out, and cut to a bound; empty without a title.
std::string ReadPosterTitle(std::string_view page);

// A note's, a topic's or a site album's name: the page's <title>, entities decoded, blanks
// folded, a trailing "(豆瓣)" left out, cut to a bound; empty without a title.
std::string PostTitle(std::string_view page);

}  // namespace tarn
