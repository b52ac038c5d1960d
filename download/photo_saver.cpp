// SPDX-License-Identifier: MIT
#include "download/photo_saver.h"

#include <filesystem>

#include "base/file_path.h"
#include "download/low_space.h"
#include "download/photo_part_file.h"

namespace tarn {

bool PhotoSaver::HoldFolder(const std::string& folder) {
  for (const FolderLock& held : folders_) {
    std::error_code ignored;
    if (held.Folder() == folder ||
        std::filesystem::equivalent(PathFromUtf8(held.Folder()), PathFromUtf8(folder), ignored))
      return true;
  }
  FolderLock lock(folder);
  if (lock.Busy()) {
    report_.End({RunResult::Stop::kFile, "另一个下载正在向这个文件夹保存照片：" +
                                             QuotedText(folder) +
                                             "\n请等它结束后再试，或换一个保存文件夹。"});
    return false;
  }
  if (!lock.Note().empty()) report_.Note(lock.Note());
  folders_.push_back(std::move(lock));
  return true;
}

bool PhotoSaver::SaveNamedPhoto(const std::string& folder, const std::string& stem,
                                const std::vector<PhotoAttempt>& attempts,
                                const std::string& referer, std::string& name) {
  if (!HoldFolder(folder)) return false;
  if (const std::optional<std::string> earlier = SavedPhotoPath(folder, stem)) {
    name = Utf8FromPath(PathFromUtf8(*earlier).filename());
    return report_.PhotoHandled(*earlier, false);
  }
  if (const std::optional<std::string> low = LowSpaceMessage(folder)) {
    report_.End({RunResult::Stop::kFile, *low});
    return false;
  }
  std::string saved_path, why;
  try {
    PhotoPartFile part(folder, stem);
    for (const PhotoAttempt& attempt : attempts) {
      if (const std::optional<std::string> refused = fetcher_.Policy().Refuses(attempt.address)) {
        why = *refused + QuotedText(attempt.address);
        break;
      }
      const bool raw = attempt.size == PhotoSize::kRaw;
      int status = 0;
      const bool fetched = fetcher_.WithRetries(
          [&](int) {
            part.Stream().Rewind();  // no bytes of an earlier attempt stay
            fetcher_.BeforeRequest(Asked::kPicture, referer);
            return fetcher_.Client().GetToStream(attempt.address, part.Stream());
          },
          why, &status, raw);
      if (fetched) {
        switch (part.Judge()) {
          case PhotoBytes::kPhoto:
            saved_path = part.Commit().path;
            why.clear();
            break;
          case PhotoBytes::kPage:
            throw ServiceRefused{200};  // a captcha page in place of the photo
          case PhotoBytes::kEmpty:
            why = "服务器发来的照片是空的：" + QuotedText(attempt.address);
            break;
          case PhotoBytes::kCut:
            why = "服务器发来的照片不完整：" + QuotedText(attempt.address);
            break;
          case PhotoBytes::kOther:
            why = "服务器发来的不是 JPEG 或 WebP 图片：" + QuotedText(attempt.address);
            break;
        }
        break;
      }
      // Only a size or format the service lacks sends the photo down the ladder.
      if (status != net::kNotFound && !(status == net::kForbidden && raw)) break;
    }
  } catch (const net::FileStreamError& failure) {
    report_.End({RunResult::Stop::kFile, "无法保存照片：" + QuotedText(FileInFolder(folder, stem)) +
                                             "\n" + QuotedText(failure.Message())});
  }
  if (!saved_path.empty()) name = Utf8FromPath(PathFromUtf8(saved_path).filename());
  return report_.PhotoHandled(saved_path, true, stem + "：" + why);
}

}  // namespace tarn
