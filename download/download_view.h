// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "base/jpeg_decoder.h"

namespace tarn {

// What a download worker tells the window and asks of it. Calls come from the worker's
// thread; the window's implementation carries each one over to the GUI thread, and answers
// the two questions from copies it keeps up to date, so the worker never waits on the GUI.
class DownloadView {
 public:
  virtual ~DownloadView() = default;

  // The album address as the user has it now, trimmed.
  virtual std::string AlbumAddress() = 0;
  // The save folder as the user has it now, trimmed.
  virtual std::string SaveFolder() = 0;

  // The scan is over: `total` photos were found.
  virtual void ScanReported(int total) = 0;
  // `done` photos of the run have been handled (saved or given up on).
  virtual void PhotoDone(int done) = 0;
  // The picture for the preview box.
  virtual void ShowPreview(RgbImage image) = 0;
  // The run is over: hide the progress bar. `message` is empty, or what went wrong, for a
  // message box.
  virtual void Finished(const std::string& message) = 0;
};

}  // namespace tarn
