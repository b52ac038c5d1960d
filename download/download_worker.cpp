// SPDX-License-Identifier: MIT
#include "download/download_worker.h"

#include <memory>
#include <variant>

#include "download/album_source.h"
#include "download/person_albums_source.h"
#include "download/plain_album_source.h"
#include "download/post_source.h"
#include "download/run.h"
#include "download/service_refusal.h"
#include "download/site_album_source.h"
#include "download/star_film_source.h"
#include "service/page_address.h"

namespace tarn {
namespace {

// The source of the pages the first page, as it finally came, stands for.
std::unique_ptr<PhotoSource> ChooseSource(const FirstPage& first) {
  if (!first.secure) return std::make_unique<PlainAlbumSource>();
  const std::optional<PageAddress> page = ReadPageAddress(first.address);
  switch (page ? page->kind : PageKind::kAlbum) {
    case PageKind::kAlbum:
      return std::make_unique<AlbumSource>();
    case PageKind::kStarPhotos:
    case PageKind::kOldStarPhotos:
      return std::make_unique<StarFilmSource>("personage_" + page->id + ".txt");
    case PageKind::kPersonAlbums:
      return std::make_unique<PersonAlbumsSource>();
    case PageKind::kFilmPhotos:
      return std::make_unique<StarFilmSource>("subject_" + page->id + "_" + page->film_type +
                                              ".txt");
    case PageKind::kSitePhotos:
      return std::make_unique<SiteAlbumSource>("site_" + page->id + ".txt");
    case PageKind::kSiteAlbum:
      return std::make_unique<SiteAlbumSource>("site_album_" + page->id + ".txt");
    case PageKind::kNote:
      return std::make_unique<PostSource>(PostSource::Kind::kNote, "note_" + page->id + ".txt");
    case PageKind::kTopic:
      return std::make_unique<PostSource>(PostSource::Kind::kTopic, "topic_" + page->id + ".txt");
  }
  return nullptr;
}

void Download(Run& run) {
  std::variant<FirstPage, RunEnd> fetched = run.fetcher.FetchFirstPage();
  if (run.report.Cancelled()) return;
  if (RunEnd* end = std::get_if<RunEnd>(&fetched)) return run.report.End(std::move(*end));
  const FirstPage& first = std::get<FirstPage>(fetched);
  const std::unique_ptr<PhotoSource> source = ChooseSource(first);
  WalkedList list;
  if (!run.walk.Walk(*source, first, list)) return;
  if (list.failure) return run.report.End(std::move(*list.failure));
  if (const PhotoSource* each = source->ListSource()) {
    SaveLists(run, *each, list);
  } else {
    if (run.job.all_pages && !run.report.Result().truncated)
      if (const std::optional<std::string> shortfall = list.Shortfall()) run.report.Gap(*shortfall);
    run.report.ScanDone(static_cast<int>(list.photos.size()));
    if (first.secure)
      SaveList(run, *source, list, {}, false);
    else
      SavePlainAlbum(run, list);
  }
  run.report.CloseMessage();
}

}  // namespace

DownloadWorker::DownloadWorker(DownloadEvents& events, DownloadJob job)
    : events_(events), job_(std::move(job)) {}

void DownloadWorker::Run(std::stop_token stop) {
  tarn::Run run(events_, job_, std::move(stop));
  try {
    Download(run);
  } catch (const ServiceRefused& refusal) {
    run.report.End(
        {RunResult::Stop::kRefused, RefusalMessage(refusal.status, run.report.Result().saved)});
  } catch (const SignInNeeded&) {
    run.report.End({RunResult::Stop::kSignIn, SignInNeededMessage(!job_.sign_in.cookies.empty())});
  } catch (const net::ETlsSetupError& failure) {
    run.report.End({RunResult::Stop::kSecure, run.fetcher.InsecureMessage(failure)});
  } catch (const net::EProxyError& failure) {
    run.report.End({RunResult::Stop::kProxy, run.fetcher.ProxyMessage(failure)});
  }
  run.report.Finish();
}

}  // namespace tarn
