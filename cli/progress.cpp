// SPDX-License-Identifier: MIT
#include "cli/progress.h"

#include <cinttypes>
#include <filesystem>

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

void ProgressReport::PhotoDone(int done, const std::string& saved_path) {
  std::lock_guard lock(mutex_);
  done_ = done;
  if (!saved_path.empty()) {
    ++saved_;
    std::error_code error;
    const auto size = std::filesystem::file_size(saved_path, error);
    if (!error) bytes_ += size;
  }
  if (style_ == ProgressStyle::kTerminal) {
    Redraw();
  } else if (style_ == ProgressStyle::kLines && !saved_path.empty()) {
    std::fprintf(out_, "已保存 %s\n", saved_path.c_str());
    std::fflush(out_);
  }
}

void ProgressReport::Finished(const RunResult& result) {
  std::lock_guard lock(mutex_);
  result_ = result;
  if (style_ != ProgressStyle::kQuiet) {
    if (line_open_) std::fputs("\r\x1b[K", out_);
    line_open_ = false;
    std::fprintf(out_, "%s：已保存 %d/%d 张，%s，用时 %s\n", label_.c_str(), saved_, result.found,
                 Megabytes(bytes_).c_str(),
                 Duration(std::chrono::duration_cast<std::chrono::seconds>(Since(start_))).c_str());
    std::fflush(out_);
  }
  if (!result.message.empty()) {
    std::fprintf(err_, "%s：%s\n", label_.c_str(), result.message.c_str());
    std::fflush(err_);
  }
}

void ProgressReport::CloseLine() {
  std::lock_guard lock(mutex_);
  if (!line_open_) return;
  std::fputc('\n', out_);
  std::fflush(out_);
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
  std::fprintf(out_, "\r\x1b[K%s", line.c_str());
  std::fflush(out_);
  line_open_ = true;
}

}  // namespace tarn::cli
