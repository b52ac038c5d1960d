// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

class RunContext;

// One kind of page a run saves photos from: it reads each page the run fetches, and saves the
// photos found through the run's shared steps. The run context walks the pages, counts and
// reports; a source knows only its own pages, names and text file.
class PhotoSource {
 public:
  virtual ~PhotoSource() = default;

  // Reads one fetched page (its bytes as they came): adds its photos to the run, and gives the
  // next page's address, or nothing where the walk ends. May end the run instead.
  virtual std::optional<std::string> ReadPage(RunContext& run, std::string_view page,
                                              const std::string& address) = 0;
  // After the walk over the pages, before the photos found are counted: a list of lists reads
  // its parts here. False when the run ended on the way.
  virtual bool AfterWalk(RunContext& run) {
    (void)run;
    return true;
  }
  // Saves the photos the walk found, one after another, until the run ends.
  virtual void SavePhotos(RunContext& run) = 0;
};

}  // namespace tarn
