// SPDX-License-Identifier: MIT
// An album over plain HTTP, saved as the program was first made to save it.
#include <filesystem>

#include "base/file_path.h"
#include "base/tick.h"
#include "download/low_space.h"
#include "download/run.h"
#include "download/stamped_names.h"

namespace tarn {
namespace {

// Saves photo `index` into the folder the job names as it starts; false ends the run (a file
// that cannot be made, a disk nearly full, or a stop).
bool SavePhoto(Run& run, const std::string& address, uint32_t& stamp, size_t index) {
  const std::string folder = run.job.Now().folder;
  if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
    run.report.End({RunResult::Stop::kFile, *low});
    return false;
  }
  std::string path = PhotoFileName(folder, stamp, index);
  std::optional<net::FileStream> file;
  try {
    try {
      file.emplace(path);
    } catch (const net::FileNameTaken&) {
      // An earlier run's photo has the name (the folder box changed, or it appeared since the
      // run began): this photo and the ones after it move to a stamp that is free.
      stamp = FreeStamp(folder, stamp + 1);
      path = PhotoFileName(folder, stamp, index);
      file.emplace(path);
    }
  } catch (const std::exception& error) {
    run.report.End({RunResult::Stop::kFile,
                    "无法创建文件：" + QuotedText(path) + "\n" + QuotedText(error.what())});
    return false;
  }
  // Never leave a partial photo behind, whatever ends the fetch.
  const auto remove = [&] {
    file.reset();
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(path), ignored);
  };
  std::string error;
  bool saved = false;
  try {
    saved = run.fetcher.WithRetries(
        [&](int attempt) {
          if (attempt > 1) file->Rewind();  // no bytes of a failed attempt stay
          return run.fetcher.Client().GetToStream(address, *file);
        },
        error);
    if (saved) file->Close();  // only a clean close says the bytes reached the disk
  } catch (const net::FileStreamError& failure) {
    saved = false;
    run.report.End(
        {RunResult::Stop::kFile, "无法写入文件：" + QuotedText(path) + "\n" + failure.Message()});
  } catch (...) {
    remove();
    throw;
  }
  file.reset();
  if (!saved) remove();
  return run.report.PhotoHandled(saved ? path : std::string(), true);
}

}  // namespace

void SavePlainAlbum(Run& run, const WalkedList& list) {
  const auto& tick = run.job.settings.tick;
  // The tick repeats after a reboot: a stamp whose names an earlier run took is passed over.
  uint32_t stamp = FreeStamp(run.job.Now().folder, tick ? tick() : TickCount32());
  for (size_t i = 0; i < list.photos.size(); ++i) {
    if (run.report.Cancelled() || !SavePhoto(run, list.photos[i].listed.address, stamp, i)) return;
  }
}

}  // namespace tarn
