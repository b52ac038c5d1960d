// SPDX-License-Identifier: MIT
#include "download/service_source.h"

#include <filesystem>

#include "base/clean_text.h"
#include "base/file_path.h"
#include "download/photo_part_file.h"
#include "download/run_context.h"

namespace tarn {

std::string ServiceSource::BeginPage(std::string_view bytes, const std::string& address) {
  if (++pages_ == 1) first_address_ = address;
  listed_on_page_ = fresh_on_page_ = 0;
  // A stray byte in a caption must not cost the page: it becomes U+FFFD.
  return ScrubUtf8(bytes);
}

void ServiceSource::List(RunContext& run, ListedPhoto photo, std::optional<std::string> id) {
  if (ids_.empty()) first_photo_ = run.Photos().size();
  ++listed_on_page_;
  if (!listed_.insert(id ? *id : photo.address).second) return;
  ++fresh_on_page_;
  if (run.AddPhoto(std::move(photo))) ids_.push_back(std::move(id));
}

std::optional<std::string> ServiceSource::EndPage(RunContext& run, std::optional<std::string> next,
                                                  const std::string& address) {
  // Pages that only repeat what was listed lead nowhere new.
  if (listed_on_page_ > 0 && fresh_on_page_ == 0) return std::nullopt;
  if (listed_on_page_ == 0 && next) {
    // A later page lost keeps what the pages before it gave.
    if (pages_ > 1)
      run.CutWalk("页面上没有找到照片，后面的页没有读取：" + QuotedText(address));
    else
      Fail(run, RunResult::Stop::kAlbumPage,
           "页面上没有找到照片，下载已停止：" + QuotedText(address));
    return std::nullopt;
  }
  return next;
}

void ServiceSource::Fail(RunContext& run, RunResult::Stop stop, std::string why) {
  if (one_of_many_)
    failure_ = std::move(why);
  else
    run.EndRun(stop, std::move(why));
}

const ListedPhoto& ServiceSource::Photo(const RunContext& run, size_t i) const {
  return run.Photos()[first_photo_ + i];
}

std::optional<std::vector<PhotoAttempt>> ServiceSource::Attempts(RunContext& run, size_t index,
                                                                 std::string&) {
  return PhotoAttempts(run.Photos()[index].address, run.Job().service.photo_size);
}

void ServiceSource::SavePhotos(RunContext& run) { SaveInto(run, {}, false); }

void ServiceSource::SaveInto(RunContext& run, const std::string& subfolder, bool may_be_empty) {
  if (ids_.empty()) {
    if (!may_be_empty)
      run.EndRun(RunResult::Stop::kAlbumPage,
                 "相册页面上没有找到照片：" + QuotedText(first_address_));
    return;
  }
  const auto folder_now = [&run, &subfolder] {
    const std::string folder = run.Job().Now().folder;
    if (subfolder.empty()) return folder;
    std::error_code ignored;  // a folder that cannot be made says why at the photo's file
    const std::string inside = FileInFolder(folder, subfolder);
    std::filesystem::create_directory(PathFromUtf8(inside), ignored);
    return inside;
  };
  const std::string folder = folder_now();
  if (!run.HoldFolder(folder)) return;
  std::vector<std::string> names(ids_.size());
  for (size_t i = 0; i < ids_.size(); ++i) {
    if (!ids_[i]) continue;
    const std::optional<std::string> earlier = SavedPhotoPath(folder, *ids_[i]);
    names[i] = earlier ? Utf8FromPath(PathFromUtf8(*earlier).filename()) : *ids_[i] + ".jpg";
  }
  try {
    WriteText(run, folder, names);
    for (size_t i = 0; i < ids_.size() && !run.Cancelled(); ++i) {
      const size_t index = first_photo_ + i;
      std::string why;
      // Only the service's own names make file names that are safe and never collide.
      if (!ids_[i]) why = "照片地址中没有豆瓣的照片编号：" + QuotedText(Photo(run, i).address);
      const std::optional<std::vector<PhotoAttempt>> attempts =
          ids_[i] ? Attempts(run, index, why) : std::nullopt;
      if (run.Ended()) break;
      if (!attempts) {
        if (!run.PhotoHandled(index, {}, true, why)) break;
        continue;
      }
      if (!run.SaveNamedPhoto(index, folder_now(), *ids_[i], *attempts, first_address_, names[i]))
        break;
    }
    // Again with the names the photos took (a WebP-only photo is .webp).
    if (!run.Cancelled()) WriteText(run, folder, names);
  } catch (const net::FileStreamError& failure) {
    run.EndRun(RunResult::Stop::kFile, QuotedText(failure.Message()));
  }
}

}  // namespace tarn
