// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// A run's claim on a save folder for as long as it lives, so that two runs never write the
// same photo's .part at once. Advisory: runs of this program honour it, nothing else sees it.
class FolderLock {
 public:
  // Claims `folder`; Busy() when another run holds it. A folder that cannot be opened is not
  // claimed and not busy: making the first file there then says why.
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;

  bool Busy() const { return busy_; }
  const std::string& Folder() const { return folder_; }

 private:
  std::string folder_;
  int descriptor_ = -1;
  bool busy_ = false;
};

}  // namespace tarn
