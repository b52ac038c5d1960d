// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <memory>

#include "download/plain_album_source.h"
#include "download/run_context.h"
#include "download/service_refusal.h"
#include "download/today_album_source.h"

namespace tarn {
namespace {

// The kind of run the first page calls for.
std::unique_ptr<PhotoSource> ChooseSource(const FirstPage& first) {
  if (first.secure) return std::make_unique<TodayAlbumSource>();
  return std::make_unique<PlainAlbumSource>();
}

}  // namespace

DownloadWorker::DownloadWorker(DownloadEvents& events, DownloadJob job)
    : events_(events), job_(std::move(job)) {}

void DownloadWorker::Run(std::stop_token stop) {
  RunContext run(events_, job_, std::move(stop));
  try {
    if (const std::optional<FirstPage> first = run.FetchFirstPage()) {
      const std::unique_ptr<PhotoSource> source = ChooseSource(*first);
      if (run.Walk(*source, *first)) {
        run.ReportScan();
        source->SavePhotos(run);
        run.CloseMessage();
      }
    }
  } catch (const ServiceRefused& refusal) {
    run.EndRun(RunResult::Stop::kRefused, RefusalMessage(refusal.status, run.Result().saved));
  }
  run.Finish();
}

}  // namespace tarn
