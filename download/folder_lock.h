// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
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
  // What the user should know of how the claim was made (a file system without locks); empty
  // when there is nothing to say.
  const std::string& Note() const { return note_; }

 private:
  struct Impl;  // the system's claim
  std::string folder_;
  std::unique_ptr<Impl> impl_;
  bool busy_ = false;
  std::string note_;
};

}  // namespace tarn
