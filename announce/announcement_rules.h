// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <optional>

namespace tarn {

// Places in the announcement list: titles at even places, each followed by its link.
inline constexpr size_t kFirstTitle = 0;
inline constexpr size_t kTitleStep = 2;  // a title and its link
// The titles the announcement line is compared with, in this order; the fifth title (8) is
// shown but never compared, so the line goes back to the first one after it.
inline constexpr std::array<size_t, 4> kComparedTitles = {0, 2, 4, 6};
// What a click on a line that shows none of the compared titles opens: the fifth link.
inline constexpr size_t kUnmatchedLink = 9;
inline constexpr size_t kBroadcastText = 10;
inline constexpr size_t kBroadcastLink = 11;

// The rules work on any list with size() and [] whose entries compare with the caption by ==:
// the window passes its display texts, the tests plain strings.
template <class List>
size_t EntryCount(const List& list) {
  return static_cast<size_t>(std::size(list));
}

// The entry the announcement line shows after `caption`: the title after the first compared
// title equal to it, or the first title when there is none or it lies past the end.
// `list` must hold at least one entry.
template <class List, class Text>
size_t NextTitle(const List& list, const Text& caption) {
  const size_t count = EntryCount(list);
  for (size_t title : kComparedTitles) {
    if (title >= count) break;
    if (list[title] == caption) {
      const size_t next = title + kTitleStep;
      return next < count ? next : kFirstTitle;
    }
  }
  return kFirstTitle;
}

// The link a click on the announcement line opens: the one after the first compared title
// equal to `caption`, else the fifth link. Nothing when an entry that the comparison or the
// link needs lies past the end of the list.
template <class List, class Text>
std::optional<size_t> LinkForCaption(const List& list, const Text& caption) {
  const size_t count = EntryCount(list);
  for (size_t title : kComparedTitles) {
    if (title >= count) return std::nullopt;
    if (list[title] == caption) {
      const size_t link = title + 1;
      return link < count ? std::optional(link) : std::nullopt;
    }
  }
  return kUnmatchedLink < count ? std::optional(kUnmatchedLink) : std::nullopt;
}

// The broadcast link, present once the list reaches it (twelve entries or more).
inline std::optional<size_t> BroadcastLink(size_t count) {
  return count > kBroadcastLink ? std::optional(kBroadcastLink) : std::nullopt;
}

}  // namespace tarn
