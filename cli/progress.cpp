// SPDX-License-Identifier: MIT
#include "cli/progress.h"

#include <cinttypes>
#include <filesystem>

#include "base/cut_text.h"
#include "base/file_path.h"
#include "cli/line_output.h"

namespace tarn::cli {
namespace {

std::chrono::duration<double> Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::steady_clock::now() - start;
}

}  // namespace

std::string Megabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
  return text;
}

std::string Duration(std::chrono::seconds seconds) {
  const auto total = seconds.count();
  char text[32];
  if (total >= 3600)
    std::snprintf(text, sizeof text, "%" PRId64 ":%02d:%02d", static_cast<int64_t>(total / 3600),
                  static_cast<int>(total / 60 % 60), static_cast<int>(total % 60));
  else
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(total / 60),
                  static_cast<int>(total % 60));
  return text;
}

ProgressReport::ProgressReport(ProgressStyle style, std::string label, std::FILE* out,
                               std::FILE* err)
    : style_(style), label_(std::move(label)), out_(out), err_(err) {}

void ProgressReport::ScanReported(int total) {
  std::lock_guard lock(mutex_);
  total_ = total;
  if (style_ == ProgressStyle::kTerminal) Redraw();
}

void ProgressReport::PhotoDone(int done, const std::string& saved_path, bool fetched) {
  std::lock_guard lock(mutex_);
  done_ = done;
  waiting_.clear();
  if (!saved_path.empty()) {
    ++saved_;
    if (!fetched) ++already_;
  }
  // Only what this run fetched counts: a photo an earlier run saved costs nothing now.
  if (!saved_path.empty() && fetched) {
    std::error_code error;
    const auto size = std::filesystem::file_size(PathFromUtf8(saved_path), error);
    if (!error) bytes_ += size;
  }
  if (style_ == ProgressStyle::kTerminal) {
    Redraw();
  } else if (style_ == ProgressStyle::kLines && !saved_path.empty() && fetched) {
    WriteLine(out_, "已保存 " + QuotedText(saved_path, kMaxLineBytes / 4) + "\n");
  }
}

void ProgressReport::SectionDone(const std::string& summary) {
  std::lock_guard lock(mutex_);
  if (style_ == ProgressStyle::kQuiet) return;
  WriteLine(out_, (line_open_ ? "\r\x1b[K" : "") + label_ + "：" + summary + "\n");
  line_open_ = false;
}

void ProgressReport::Waiting(std::chrono::seconds how_long, const std::string& why) {
  std::lock_guard lock(mutex_);
  if (style_ == ProgressStyle::kQuiet) return;
  waiting_ = why + "，等待 " + Duration(how_long);
  if (style_ == ProgressStyle::kTerminal)
    Redraw();
  else
    WriteLine(out_, label_ + "：" + waiting_ + "\n");
}

void ProgressReport::Finished(const RunResult& result) {
  std::lock_guard lock(mutex_);
  result_ = result;
  if (style_ != ProgressStyle::kQuiet) {
    std::string line = line_open_ ? "\r\x1b[K" : "";
    line_open_ = false;
    line +=
        label_ + "：已保存 " + std::to_string(saved_) + "/" + std::to_string(result.found) + " 张";
    if (already_ > 0) line += "（" + std::to_string(already_) + " 张早已在文件夹中）";
    line += "，" + Megabytes(bytes_) + "，用时 " +
            Duration(std::chrono::duration_cast<std::chrono::seconds>(Since(start_))) + "\n";
    WriteLine(out_, line);
  }
  if (!result.message.empty()) WriteLine(err_, label_ + "：" + result.message + "\n", kErrorWait);
}

void ProgressReport::CloseLine() {
  std::lock_guard lock(mutex_);
  if (!line_open_) return;
  WriteLine(out_, "\n");
  line_open_ = false;
}

void ProgressReport::Redraw() {
  const double seconds = Since(start_).count();
  std::string line = label_ + "：";
  if (total_ == 0 && done_ == 0) {
    line += "正在读取相册页面...";
  } else {
    line += std::to_string(done_) + "/" + std::to_string(total_) + " 张  " + Megabytes(bytes_);
    if (seconds > 0) line += "  " + Megabytes(static_cast<uint64_t>(bytes_ / seconds)) + "/s";
    if (done_ > 0 && done_ < total_) {
      const auto left =
          std::chrono::seconds(static_cast<int64_t>(seconds / done_ * (total_ - done_) + 0.5));
      line += "  剩余 " + Duration(left);
    }
  }
  if (!waiting_.empty()) line += "  " + waiting_;
  WriteLine(out_, "\r\x1b[K" + line);
  line_open_ = true;
}

}  // namespace tarn::cli
