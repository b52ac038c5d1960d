// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "download/fetcher.h"
#include "download/folder_lock.h"
#include "download/run_report.h"
#include "service/photo_ladder.h"

namespace tarn {

// Saves photos of the service under their own names: one run alone in a folder, each photo
// through a .part file, down the ladder of sizes, kept only when its bytes make a whole photo.
class PhotoSaver {
 public:
  PhotoSaver(Fetcher& fetcher, RunReport& report) : fetcher_(fetcher), report_(report) {}

  // Makes sure this run alone saves into `folder`; false (the run ended) when another has it.
  bool HoldFolder(const std::string& folder);

  // Saves the next photo as `<folder>/<stem>.jpg|.webp`, trying `attempts` in order (a missing
  // size or format goes on to the next); a photo saved by an earlier run counts as done. Sets
  // `name` to the file's name when there is one. False when the run ends here.
  bool SaveNamedPhoto(const std::string& folder, const std::string& stem,
                      const std::vector<PhotoAttempt>& attempts, const std::string& referer,
                      std::string& name);

 private:
  Fetcher& fetcher_;
  RunReport& report_;
  std::vector<FolderLock> folders_;
};

}  // namespace tarn
