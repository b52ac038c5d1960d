// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "download/photo_name.h"
#include "net/stream/file_stream.h"

namespace tarn {

// A photo's final file once it is whole.
struct SavedPhoto {
  std::string path;
  bool existed = false;  // the file was there already and was kept; this download was dropped
};

// A photo on its way to `<folder>/<stem>.part`, so that a final name always means a whole
// photo. A stale .part left by a killed run is emptied and reused. Until Commit succeeds the
// .part is removed when the object goes, so no partial file survives a failure or a stop.
class PhotoPartFile {
 public:
  // Raises net::FileStreamError when the file cannot be made.
  PhotoPartFile(const std::string& folder, const std::string& stem);
  ~PhotoPartFile();
  PhotoPartFile(const PhotoPartFile&) = delete;
  PhotoPartFile& operator=(const PhotoPartFile&) = delete;

  // Where the body goes, judged on its way; Rewind() it before another attempt.
  net::OutputStream& Stream() { return stream_; }
  const std::string& PartPath() const { return part_path_; }
  // What the bytes written make: a whole photo, or why not. Bytes not written as one run
  // from the start are never taken for a whole photo.
  PhotoBytes Judge() const;

  // Closes the file and names it `<stem>` plus the extension its first bytes call for. An
  // existing file of that name is never replaced (it was saved before): the .part is dropped
  // and that file is given. Raises net::FileStreamError when the file cannot be renamed.
  SavedPhoto Commit();

 private:
  // Every byte goes to the file and past the judge.
  class JudgedStream final : public net::OutputStream {
   public:
    explicit JudgedStream(PhotoPartFile& owner) : owner_(owner) {}
    void Write(std::string_view bytes) override;
    uint64_t Position() const override { return owner_.file_->Position(); }
    void Seek(uint64_t position) override;
    void Truncate() override;
    void Reserve(uint64_t size) override { owner_.file_->Reserve(size); }

   private:
    PhotoPartFile& owner_;
  };

  std::string folder_;
  std::string stem_;
  std::string part_path_;
  std::optional<net::FileStream> file_;
  JudgedStream stream_{*this};
  PhotoBytesJudge judge_;
  bool judged_in_order_ = true;
  bool committed_ = false;
};

// The file of a photo saved before, under any extension a run writes; nothing when there is
// none (a directory of that name does not count).
std::optional<std::string> SavedPhotoPath(const std::string& folder, const std::string& stem);

inline bool AlreadySaved(const std::string& folder, const std::string& stem) {
  return SavedPhotoPath(folder, stem).has_value();
}

}  // namespace tarn
