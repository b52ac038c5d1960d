// SPDX-License-Identifier: MIT
#pragma once

#include <stop_token>
#include <string>

#include "download/download_events.h"
#include "download/download_job.h"
#include "download/fetcher.h"
#include "download/page_walk.h"
#include "download/photo_saver.h"
#include "download/run_report.h"

namespace tarn {

// The parts of one run: its report, its requests, the walk over pages and the photo saver.
struct Run {
  Run(DownloadEvents& events, const DownloadJob& job, std::stop_token stop)
      : job(job),
        report(events, job, stop),
        fetcher(job, stop),
        saver(fetcher, report),
        walk(fetcher, report, job) {
    fetcher.OnLongWait([this](std::chrono::milliseconds pause, const std::string& why) {
      report.Waiting(std::chrono::ceil<std::chrono::seconds>(pause), why);
    });
  }

  const DownloadJob& job;
  RunReport report;
  Fetcher fetcher;
  PhotoSaver saver;
  PageWalk walk;
};

// Saves an album walked over plain HTTP as <folder>/<stamp>_<i>.jpg, with a stamp no earlier
// run took, into the folder the job names as each photo starts.
void SavePlainAlbum(Run& run, const WalkedList& list);

// Saves a list of the service's photos as `p<id>.jpg` (or `.webp`) into `subfolder` of the
// folder the job names as each photo starts (the folder itself when empty), with the list's
// text file written before and after. A list without photos ends the run unless
// `may_be_empty`.
void SaveList(Run& run, const PhotoSource& source, const WalkedList& list,
              const std::string& subfolder, bool may_be_empty);

// Walks the lists a list of lists (`lists`, walked already) names with `source`, then saves
// each into its own folder: a list that cannot be read or saved is told and costs only itself.
void SaveLists(Run& run, const PhotoSource& source, const WalkedList& lists);

}  // namespace tarn
