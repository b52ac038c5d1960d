// SPDX-License-Identifier: MIT
#include "download/run_report.h"

namespace tarn {
namespace {

// Reasons of failed photos the message names; the count says the rest.
constexpr size_t kMaxReasonsTold = 5;

}  // namespace

RunReport::RunReport(DownloadEvents& events, const DownloadJob& job, std::stop_token stop)
    : events_(events), stop_(std::move(stop)) {
  if (job.settings.preview)
    preview_.emplace([this](RgbImage image) { events_.PreviewReady(std::move(image)); });
}

void RunReport::End(RunEnd end) {
  result_.stop = end.stop;
  result_.message = std::move(end.message);
}

void RunReport::ScanDone(int found) {
  result_.found = found;
  events_.ScanReported(found);
}

bool RunReport::PhotoHandled(const std::string& path, bool fetched, std::string why) {
  if (path.empty()) {
    if (Ended()) return false;
    ++result_.failed;
    if (failures_.size() < kMaxReasonsTold && !why.empty()) failures_.push_back(std::move(why));
  } else {
    ++result_.saved;
    if (!fetched) ++result_.already_there;
  }
  events_.PhotoDone(++handled_, path, fetched);
  if (!path.empty() && fetched && preview_) preview_->Submit(path);
  return true;
}

void RunReport::CloseMessage() {
  if (Ended()) return;
  std::string& message = result_.message;
  if (result_.failed > 0) {
    message = "有 " + std::to_string(result_.failed) + " 张照片未能保存。";
    for (const std::string& why : failures_) message += "\n" + why;
  }
  const auto add = [&message](const std::string& line) {
    if (!message.empty()) message += "\n";
    message += line;
  };
  if (result_.truncated) add("相册照片太多，只保存了前 " + std::to_string(result_.found) + " 张。");
  for (const std::string& gap : gaps_) {
    result_.walk_cut = true;
    add(gap);
  }
  for (const std::string& note : notes_) add(note);
}

void RunReport::Finish() {
  // The last photo saved is the one left in the preview.
  if (preview_ && !Cancelled()) preview_->Drain();
  preview_.reset();
  if (!Cancelled()) events_.Finished(result_);
}

}  // namespace tarn
