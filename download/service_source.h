// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "download/download_events.h"
#include "service/photo_ladder.h"
#include "download/photo_source.h"
#include "download/today_scanner.h"

namespace tarn {

// What every list of today's service shares: each photo listed once under the service's own
// name, the walk's end where pages only repeat themselves, and saving as `p<id>.jpg` (or
// `.webp`) through .part files, with the list's text file written before and after.
class ServiceSource : public PhotoSource {
 public:
  // A list that is `one_of_many` (an album of a person's) never ends the run: what would, it
  // keeps as its Failure(), and the run goes on with the next list.
  explicit ServiceSource(bool one_of_many = false) : one_of_many_(one_of_many) {}

  void SavePhotos(RunContext& run) override;

  // Saves this list's photos into `subfolder` of the folder the job names as each photo starts
  // (the folder itself when empty). A list without photos ends the run unless `may_be_empty`.
  void SaveInto(RunContext& run, const std::string& subfolder, bool may_be_empty);
  // How many photos this list added to the run.
  size_t Count() const { return ids_.size(); }
  // Why this list, one of many, could not be read; empty when it could.
  const std::string& Failure() const { return failure_; }

 protected:
  // Starts reading a page (its bytes as they came): the text with invalid UTF-8 replaced.
  // The first page's address becomes the Referer of every photo.
  std::string BeginPage(std::string_view bytes, const std::string& address);
  bool FirstPage() const { return pages_ == 1; }
  // Lists a photo of the page, once however often pages repeat it; `id` is the service's
  // name of it ("p2918226736"), or nothing when its address holds none.
  void List(RunContext& run, ListedPhoto photo, std::optional<std::string> id);
  // Ends reading a page: the next page to walk to, or nothing. A page whose photos were all
  // listed before ends the walk; a page without photos that links further ends the run.
  std::optional<std::string> EndPage(RunContext& run, std::optional<std::string> next,
                                     const std::string& address);

  // Writes the list's text file into `folder`, with the file each photo has or will have.
  virtual void WriteText(const RunContext& run, const std::string& folder,
                         const std::vector<std::string>& names) const = 0;
  // The addresses to try for this list's photo `index` (of the run), largest first; nothing
  // when the photo cannot be had, with `why`.
  virtual std::optional<std::vector<PhotoAttempt>> Attempts(RunContext& run, size_t index,
                                                            std::string& why);
  // This list's photo `i` in the run.
  const ListedPhoto& Photo(const RunContext& run, size_t i) const;

  // The list cannot be read for `why`: the run ends, or the list fails alone.
  void Fail(RunContext& run, RunResult::Stop stop, std::string why);

  std::string first_address_;
  const bool one_of_many_;

 private:
  std::string failure_;
  size_t pages_ = 0;
  size_t listed_on_page_ = 0, fresh_on_page_ = 0;
  std::set<std::string> listed_;
  size_t first_photo_ = 0;                       // this list's first photo in the run
  std::vector<std::optional<std::string>> ids_;  // beside this list's photos
};

}  // namespace tarn
