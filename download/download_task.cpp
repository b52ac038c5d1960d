// SPDX-License-Identifier: MIT
#include "download/download_task.h"

namespace tarn {

DownloadTask::DownloadTask(std::unique_ptr<DownloadEvents> events, DownloadJob job)
    : events_(std::move(events)),
      worker_(*events_, std::move(job)),
      thread_([this](std::stop_token stop) {
        worker_.Run(std::move(stop));
        running_ = false;
      }) {}

}  // namespace tarn
