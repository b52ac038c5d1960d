// SPDX-License-Identifier: MIT
#include "download/plain_album_source.h"

#include <filesystem>

#include "base/file_path.h"
#include "base/tick.h"
#include "download/album_scanner.h"
#include "download/low_space.h"
#include "download/run_context.h"
#include "download/stamped_names.h"

namespace tarn {

std::optional<std::string> PlainAlbumSource::ReadPage(RunContext& run, std::string_view page,
                                                      const std::string&) {
  const std::string text = net::HttpClient::Utf8ToAnsi(page);
  const std::string_view rest = ScanPhotos(text, [&run](std::string address) {
    run.AddPhoto(ListedPhoto{std::move(address), {}, {}});
  });
  return NextPageAddress(rest);
}

void PlainAlbumSource::SavePhotos(RunContext& run) {
  const auto& tick = run.Job().settings.tick;
  // The tick repeats after a reboot: a stamp whose names an earlier run took is passed over.
  uint32_t stamp = FreeStamp(run.Job().Now().folder, tick ? tick() : TickCount32());
  for (size_t i = 0; i < run.Photos().size(); ++i) {
    if (run.Cancelled() || !SavePhoto(run, stamp, i)) return;
  }
}

// Saves photo `index` into the folder the job names as it starts; false ends the run (a file
// that cannot be made, a disk nearly full, or a stop).
bool PlainAlbumSource::SavePhoto(RunContext& run, uint32_t& stamp, size_t index) {
  const std::string folder = run.Job().Now().folder;
  if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
    run.EndRun(RunResult::Stop::kFile, *low);
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
    run.EndRun(RunResult::Stop::kFile,
               "无法创建文件：" + QuotedText(path) + "\n" + QuotedText(error.what()));
    return false;
  }
  std::string error;
  bool saved = false;
  try {
    saved = run.WithRetries(
        [&](int attempt) {
          if (attempt > 1) file->Rewind();  // no bytes of a failed attempt stay
          run.Client().FetchToStream(run.Photos()[index].address, *file);
        },
        error);
    if (saved) file->Close();  // only a clean close says the bytes reached the disk
  } catch (const net::FileStreamError& failure) {
    saved = false;
    run.EndRun(RunResult::Stop::kFile,
               "无法写入文件：" + QuotedText(path) + "\n" + failure.Message());
  } catch (const net::ETlsSetupError& failure) {
    run.EndInsecure(failure);
  }
  file.reset();
  if (!saved) {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(path), ignored);  // never leave a partial photo behind
  }
  return run.PhotoHandled(index, saved ? path : std::string(), true);
}

}  // namespace tarn
