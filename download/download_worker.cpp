// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <memory>

#include "download/person_albums_source.h"
#include "download/plain_album_source.h"
#include "download/poster_list_source.h"
#include "download/run_context.h"
#include "download/service_refusal.h"
#include "download/today_album_source.h"
#include "service/page_address.h"

namespace tarn {
namespace {

// The kind of run the first page, as it finally came, calls for.
std::unique_ptr<PhotoSource> ChooseSource(const FirstPage& first) {
  if (!first.secure) return std::make_unique<PlainAlbumSource>();
  const std::optional<PageAddress> page = ReadPageAddress(first.address);
  switch (page ? page->kind : PageKind::kAlbum) {
    case PageKind::kAlbum:
      return std::make_unique<TodayAlbumSource>();
    case PageKind::kStarPhotos:
    case PageKind::kOldStarPhotos:
      return std::make_unique<PosterListSource>("personage_" + page->id + ".txt");
    case PageKind::kPersonAlbums:
      return std::make_unique<PersonAlbumsSource>();
    case PageKind::kFilmPhotos:
      return std::make_unique<PosterListSource>("subject_" + page->id + "_" + page->film_type +
                                                ".txt");
  }
  return nullptr;
}

}  // namespace

DownloadWorker::DownloadWorker(DownloadEvents& events, DownloadJob job)
    : events_(events), job_(std::move(job)) {}

void DownloadWorker::Run(std::stop_token stop) {
  RunContext run(events_, job_, std::move(stop));
  try {
    if (const std::optional<FirstPage> first = run.FetchFirstPage()) {
      const std::unique_ptr<PhotoSource> source = ChooseSource(*first);
      if (run.Walk(*source, *first) && source->AfterWalk(run)) {
        run.ReportScan();
        source->SavePhotos(run);
        run.CloseMessage();
      }
    }
  } catch (const ServiceRefused& refusal) {
    run.EndRun(RunResult::Stop::kRefused, RefusalMessage(refusal.status, run.Result().saved));
  } catch (const SignInNeeded&) {
    run.EndRun(RunResult::Stop::kSignIn, SignInNeededMessage(!job_.sign_in.cookies.empty()));
  }
  run.Finish();
}

}  // namespace tarn
