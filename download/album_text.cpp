// SPDX-License-Identifier: MIT
#include "download/album_text.h"

#include <filesystem>
#include <optional>

#include "base/clean_text.h"
#include "base/file_path.h"
#include "base/safe_replace.h"

namespace tarn {
namespace {

constexpr std::string_view kAlbumSegment = "/photos/album/";
// Most digits an album id may have: real ones have nine.
constexpr size_t kMaxAlbumIdDigits = 20;

// `text` on one line: each line break (CR LF counts as one) and tab becomes a space, and
// nothing that steers a display stays (CleanText).
std::string OneLine(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    joined += text[i];
  }
  return CleanText(joined);
}

}  // namespace

std::optional<std::string> AlbumIdFromAddress(std::string_view address) {
  const size_t segment = address.find(kAlbumSegment);
  if (segment == std::string_view::npos) return std::nullopt;
  const size_t start = segment + kAlbumSegment.size();
  size_t end = start;
  while (end < address.size() && address[end] >= '0' && address[end] <= '9') ++end;
  if (end == start || end - start > kMaxAlbumIdDigits) return std::nullopt;
  return std::string(address.substr(start, end - start));
}

std::string FormatAlbumText(const AlbumFacts& facts, std::string_view address,
                            const std::vector<AlbumTextEntry>& photos) {
  const int64_t count =
      facts.photo_count ? *facts.photo_count : static_cast<int64_t>(photos.size());
  std::string text = "标题：" + OneLine(facts.title) + "\n";
  text += facts.author ? "作者：" + OneLine(*facts.author) + "\n"
                       : "简介：" + OneLine(facts.description) + "\n";
  text += "地址：" + OneLine(address) + "\n";
  text += "照片：" + std::to_string(count) + " 张\n\n";
  for (const AlbumTextEntry& photo : photos) {
    text += OneLine(photo.file_name) + "\t";
    if (!photo.size.empty()) text += OneLine(photo.size) + "\t";
    text += OneLine(photo.caption) + "\n";
  }
  return text;
}

std::string WriteAlbumText(const std::string& folder, std::string_view address,
                           const AlbumFacts& facts, const std::vector<AlbumTextEntry>& photos) {
  const std::optional<std::string> id = AlbumIdFromAddress(address);
  return WriteListText(folder, id ? "album_" + *id + ".txt" : "album.txt", address, facts, photos);
}

std::string WriteListText(const std::string& folder, const std::string& file_name,
                          std::string_view address, const AlbumFacts& facts,
                          const std::vector<AlbumTextEntry>& photos) {
  const std::string path = FileInFolder(folder, file_name);
  ReplaceFileContents(path, FormatAlbumText(facts, address, photos));
  return path;
}

}  // namespace tarn
