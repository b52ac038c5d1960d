// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <string>

#include "image/jpeg_decoder.h"

namespace tarn {

// How a run ended, for the message box and for front ends that act on it.
struct RunResult {
  // What ended the run before its last photo, if anything.
  enum class Stop {
    kNone,
    kAlbumPage,  // a page of the album could not be had
    kFile,       // a photo file could not be made or written
    kSecure,     // a secure connection could not be set up: another try cannot help
    kRefused,    // the service shut the run out
    kNotPublic,  // the album is not open to everyone
    kSignIn,     // the page wants a sign-in: none was given, or it has expired
    kProxy,      // the proxy could not be used: another try cannot help
  };
  Stop stop = Stop::kNone;
  int found = 0;           // photo addresses the scan kept
  int saved = 0;           // photos written, or found saved by an earlier run
  int already_there = 0;   // of those, the ones an earlier run saved
  int failed = 0;          // photos given up on
  bool truncated = false;  // the album had more photos than one run keeps
  bool walk_cut = false;   // the pages were not all read (a link the run may not follow)
  std::string message;     // empty, or what went wrong, for the user
};

// What a download worker reports, from the worker's thread (the preview from the decoder's).
// A front end carries each report to wherever it shows them; the worker never waits on it.
class DownloadEvents {
 public:
  virtual ~DownloadEvents() = default;

  // The scan is over: `total` photos were found.
  virtual void ScanReported(int total) = 0;
  // `done` photos of the run have been handled; `saved_path` is the photo's file, written now
  // (`fetched`) or by an earlier run of the same album, or empty when it was given up on.
  virtual void PhotoDone(int done, const std::string& saved_path, bool fetched) = 0;
  // A part of the run is done (one album of a person's albums), in a line of text.
  virtual void SectionDone(const std::string& summary) { (void)summary; }
  // The run waits `how_long` before its next request (a long back-off, or the server asked it
  // to slow down), for `why`.
  virtual void Waiting(std::chrono::seconds how_long, const std::string& why) {
    (void)how_long, (void)why;
  }
  // The picture for the preview box.
  virtual void PreviewReady(RgbImage image) = 0;
  // The run is over (never called after a stop).
  virtual void Finished(const RunResult& result) = 0;
};

}  // namespace tarn
