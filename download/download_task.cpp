// SPDX-License-Identifier: MIT
#include "download/download_task.h"

namespace tarn {

DownloadTask::DownloadTask(std::unique_ptr<DownloadView> view, DownloadSettings settings)
    : view_(std::move(view)), worker_(*view_, std::move(settings)), thread_([this] {
        worker_.Run();
        running_ = false;
      }) {}

DownloadTask::~DownloadTask() {
  worker_.Cancel();
  thread_.join();
}

}  // namespace tarn
