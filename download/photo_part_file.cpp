// SPDX-License-Identifier: MIT
#include "download/photo_part_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/file_path.h"
#include "base/safe_replace.h"
#include "download/photo_name.h"

namespace tarn {
namespace {

constexpr std::string_view kPartExtension = ".part";
// Bytes enough to tell the formats apart ("RIFF", size, "WEBP").
constexpr size_t kSniffBytes = 12;

std::string ReadFirstBytes(const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  std::string bytes(kSniffBytes, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
  return bytes;
}

}  // namespace

PhotoPartFile::PhotoPartFile(const std::string& folder, const std::string& stem)
    : folder_(folder),
      stem_(stem),
      part_path_(FileInFolder(folder, stem + std::string(kPartExtension))) {
  // A .part is only ever ours: one left by a killed run goes (a link, not what it points to),
  // and the new one is made afresh, never through a link.
  std::error_code ignored;
  std::filesystem::remove(PathFromUtf8(part_path_), ignored);
  stream_.emplace(part_path_);
}

PhotoPartFile::~PhotoPartFile() {
  stream_.reset();
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(part_path_), ignored);
  }
}

PhotoBytes PhotoPartFile::Judge() const {
  std::ifstream file(PathFromUtf8(part_path_), std::ios::binary);
  return JudgePhotoBytes(file, stream_->Position());
}

SavedPhoto PhotoPartFile::Commit() {
  stream_->Close();  // only a clean close says the bytes reached the disk
  stream_.reset();
  const std::string final_path =
      FileInFolder(folder_, stem_ + std::string(SniffPhotoExtension(ReadFirstBytes(part_path_))));
  const bool renamed = CommitFile(part_path_, final_path, OnExisting::kKeep);
  std::error_code ignored;
  // Only a photo saved before stands for this one; anything else in its place is a fault.
  if (!renamed && !std::filesystem::is_regular_file(PathFromUtf8(final_path), ignored))
    throw net::FileStreamError("无法保存文件：" + final_path + " 已被占用");
  committed_ = true;
  return SavedPhoto{final_path, !renamed};
}

std::optional<std::string> SavedPhotoPath(const std::string& folder, const std::string& stem) {
  for (const std::string_view extension : kPhotoExtensions) {
    const std::string path = FileInFolder(folder, stem + std::string(extension));
    std::error_code ignored;
    if (std::filesystem::is_regular_file(PathFromUtf8(path), ignored)) return path;
  }
  return std::nullopt;
}

}  // namespace tarn
