// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "image/jpeg_decoder.h"

namespace tarn {

// What a download worker reports, from the worker's thread (the preview from the decoder's).
// A front end carries each report to wherever it shows them; the worker never waits on it.
class DownloadEvents {
 public:
  virtual ~DownloadEvents() = default;

  // The scan is over: `total` photos were found.
  virtual void ScanReported(int total) = 0;
  // `done` photos of the run have been handled; `saved_path` is the file written, or empty
  // when the photo was given up on.
  virtual void PhotoDone(int done, const std::string& saved_path) = 0;
  // The picture for the preview box.
  virtual void PreviewReady(RgbImage image) = 0;
  // The run is over. `message` is empty, or what went wrong, for a message box.
  virtual void Finished(const std::string& message) = 0;
};

}  // namespace tarn
