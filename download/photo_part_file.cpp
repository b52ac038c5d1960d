// SPDX-License-Identifier: MIT
#include "download/photo_part_file.h"

#include <filesystem>

#include "base/file_path.h"
#include "base/safe_replace.h"
#include "download/photo_name.h"

namespace tarn {
namespace {

constexpr std::string_view kPartExtension = ".part";

}  // namespace

PhotoPartFile::PhotoPartFile(const std::string& folder, const std::string& stem)
    : folder_(folder),
      stem_(stem),
      part_path_(FileInFolder(folder, stem + std::string(kPartExtension))) {
  // A .part is only ever ours: one left by a killed run goes (a link, not what it points to),
  // and the new one is made afresh, never through a link.
  try {
    file_.emplace(part_path_);
  } catch (const net::FileNameTaken&) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(part_path_), ignored);
    file_.emplace(part_path_);
  }
}

PhotoPartFile::~PhotoPartFile() {
  file_.reset();
  if (!committed_) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(part_path_), ignored);
  }
}

void PhotoPartFile::JudgedStream::Write(std::string_view bytes) {
  PhotoPartFile& part = owner_;
  if (part.file_->Position() != part.judge_.Size()) part.judged_in_order_ = false;
  part.file_->Write(bytes);
  if (part.judged_in_order_) part.judge_.Feed(bytes);
}

void PhotoPartFile::JudgedStream::Seek(uint64_t position) {
  if (position == 0) {  // a new attempt: the bytes start over
    owner_.judge_ = {};
    owner_.judged_in_order_ = true;
  }
  owner_.file_->Seek(position);
}

void PhotoPartFile::JudgedStream::Truncate() {
  if (owner_.file_->Position() < owner_.judge_.Size()) owner_.judged_in_order_ = false;
  owner_.file_->Truncate();
}

PhotoBytes PhotoPartFile::Judge() const {
  if (!judged_in_order_) return PhotoBytes::kCut;
  return judge_.Verdict();
}

SavedPhoto PhotoPartFile::Commit() {
  // Only a clean sync and close say the bytes reached the disk, before any name shows them.
  file_->Sync();
  file_->Close();
  file_.reset();
  const std::string final_path =
      FileInFolder(folder_, stem_ + std::string(SniffPhotoExtension(judge_.FirstBytes())));
  const bool renamed = CommitFile(part_path_, final_path, OnExisting::kKeep, true);
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
