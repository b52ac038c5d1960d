// SPDX-License-Identifier: MIT
#include "service/photo_ladder.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "base/text.h"

namespace tarn {
namespace {

constexpr std::string_view kSizeSegment = "/view/photo/";
constexpr std::string_view kJpeg = ".jpg";
// List sizes below "m" that stars' and films' pages give; none is ever asked for bigger.
constexpr std::string_view kListSizes[] = {"photo", "s", "sqs"};

// A listed address taken apart around its size and its extension.
struct ListedAddress {
  std::string_view before_size;   // up to and with "/view/photo/"
  std::optional<PhotoSize> size;  // nothing for a list size below "m"
  std::string_view size_name;
  std::string_view path;       // from the '/' after the size up to the extension
  std::string_view extension;  // ".webp", ".jpg", or empty
  std::string_view query;      // from '?' or '#' on, or empty
};

std::optional<ListedAddress> Split(std::string_view address) {
  const size_t segment = address.find(kSizeSegment);
  if (segment == std::string_view::npos) return std::nullopt;
  const size_t size_start = segment + kSizeSegment.size();
  const size_t size_end = address.find('/', size_start);
  if (size_end == std::string_view::npos) return std::nullopt;
  const std::string_view name = address.substr(size_start, size_end - size_start);
  const auto size = ParsePhotoSize(name);
  const bool list_size =
      std::find(std::begin(kListSizes), std::end(kListSizes), name) != std::end(kListSizes);
  if ((!size || name != PhotoSizeName(*size)) && !list_size) return std::nullopt;
  ListedAddress parts{address.substr(0, size_start), size, name, {}, {}, {}};
  const size_t query = address.find_first_of("?#", size_end);
  const std::string_view path =
      address.substr(size_end, query == std::string_view::npos ? query : query - size_end);
  if (query != std::string_view::npos) parts.query = address.substr(query);
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot != std::string_view::npos && dot > slash) {
    parts.path = path.substr(0, dot);
    parts.extension = path.substr(dot);
  } else {
    parts.path = path;
  }
  return parts;
}

struct Rungs {
  std::string_view segment;
  std::vector<std::string_view> names;  // small to large, "l", "large" and "raw" the top three
  size_t below_l;                       // the rung "m" stands for
};

const Rungs& RungsOf(PhotoLadder ladder) {
  static const Rungs kSite{"/view/photo/", {"thumb", "photo", "l", "large", "raw"}, 1};
  static const Rungs kNote{"/view/note/", {"small", "l", "large", "raw"}, 0};
  static const Rungs kTopic{"/view/group_topic/", {"l", "large", "raw"}, 0};
  return ladder == PhotoLadder::kSite ? kSite : ladder == PhotoLadder::kNote ? kNote : kTopic;
}

// The chosen size's rung: the top three are "l", "large" and "raw".
size_t RungOf(const Rungs& rungs, PhotoSize chosen) {
  if (chosen == PhotoSize::kM) return rungs.below_l;
  return rungs.names.size() - 3 + static_cast<size_t>(chosen) - static_cast<size_t>(PhotoSize::kL);
}

// What the saver knows of a rung: only "raw" is refused to everyone.
PhotoSize SizeOfRung(const Rungs& rungs, size_t rung) {
  const size_t top = rungs.names.size() - 1;
  if (rung == top) return PhotoSize::kRaw;
  if (rung == top - 1) return PhotoSize::kXl;
  return rung == top - 2 ? PhotoSize::kL : PhotoSize::kM;
}

}  // namespace

std::vector<PhotoAttempt> PhotoAttempts(std::string_view listed, PhotoSize chosen,
                                        PhotoLadder ladder) {
  if (ladder == PhotoLadder::kAlbum) return PhotoAttempts(listed, chosen);
  const Rungs& rungs = RungsOf(ladder);
  const std::vector<PhotoAttempt> as_it_is = {{std::string(listed), std::nullopt}};
  const size_t segment = listed.find(rungs.segment);
  if (segment == std::string_view::npos) return as_it_is;
  const size_t size_start = segment + rungs.segment.size();
  const size_t size_end = listed.find('/', size_start);
  if (size_end == std::string_view::npos) return as_it_is;
  const auto named = std::find(rungs.names.begin(), rungs.names.end(),
                               listed.substr(size_start, size_end - size_start));
  if (named == rungs.names.end()) return as_it_is;
  const size_t listed_rung = static_cast<size_t>(named - rungs.names.begin());
  const size_t chosen_rung = RungOf(rungs, chosen);
  std::vector<size_t> order;
  if (chosen_rung >= listed_rung) {
    for (size_t r = chosen_rung + 1; r-- > listed_rung;) order.push_back(r);
  } else {
    order = {chosen_rung, listed_rung};
  }
  const size_t query = listed.find_first_of("?#", size_end);
  const std::string_view path = listed.substr(size_end, query - size_end);
  const std::string_view rest = query == std::string_view::npos ? "" : listed.substr(query);
  const size_t dot = path.rfind('.');
  const bool has_extension = dot != std::string_view::npos && dot > path.rfind('/');
  const std::string_view stem = has_extension ? path.substr(0, dot) : path;
  std::vector<std::string_view> extensions = {""};
  if (has_extension) {
    extensions = {kJpeg};
    if (!EqualsIgnoringAsciiCase(path.substr(dot), kJpeg)) extensions.push_back(path.substr(dot));
  }
  std::vector<PhotoAttempt> attempts;
  for (const size_t rung : order) {
    for (const std::string_view extension : extensions) {
      std::string address(listed.substr(0, size_start));
      address.append(rungs.names[rung]).append(stem).append(extension).append(rest);
      attempts.push_back(PhotoAttempt{std::move(address), SizeOfRung(rungs, rung)});
    }
  }
  return attempts;
}

std::vector<PhotoAttempt> PhotoAttempts(std::string_view listed, PhotoSize chosen) {
  const std::optional<ListedAddress> parts = Split(listed);
  if (!parts) return {PhotoAttempt{std::string(listed), std::nullopt}};
  std::vector<std::optional<PhotoSize>> sizes;  // nothing: the listed size below "m"
  const int smallest = parts->size ? static_cast<int>(*parts->size) : 0;
  if (!parts->size || chosen >= *parts->size) {
    for (int s = static_cast<int>(chosen); s >= smallest; --s)
      sizes.push_back(static_cast<PhotoSize>(s));
    if (!parts->size) sizes.push_back(std::nullopt);
  } else {
    sizes = {chosen, parts->size};
  }
  std::vector<std::string_view> extensions;
  if (parts->extension.empty()) {
    extensions = {""};  // an address without one is asked for as it is
  } else {
    extensions.push_back(kJpeg);
    if (!EqualsIgnoringAsciiCase(parts->extension, kJpeg)) extensions.push_back(parts->extension);
  }
  std::vector<PhotoAttempt> attempts;
  for (const std::optional<PhotoSize> size : sizes) {
    for (const std::string_view extension : extensions) {
      std::string address(parts->before_size);
      address.append(size ? PhotoSizeName(*size) : parts->size_name)
          .append(parts->path)
          .append(extension)
          .append(parts->query);
      attempts.push_back(PhotoAttempt{std::move(address), size});
    }
  }
  return attempts;
}

}  // namespace tarn
