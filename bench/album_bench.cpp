// SPDX-License-Identifier: MIT
// One album download with the program's own worker and no window, for run_album_bench.sh:
//   tarn_album_bench ALBUM_ADDRESS FOLDER preview|no-preview
// Downloads every page (smart mode) and every photo into FOLDER, then prints one line:
//   RESULT seconds=0.4123 found=500 done=500 previews=37
// and exits non-zero when the run reported an error. Or one big photo with the client alone:
//   tarn_album_bench fetch ADDRESS FILE
// prints RESULT seconds=... bytes=... and exits non-zero when the fetch failed.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "download/download_worker.h"
#include "net/http/http_client.h"
#include "net/stream/file_stream.h"

namespace {

// Counts what the worker reports.
class BenchEvents : public tarn::DownloadEvents {
 public:
  void ScanReported(int total) override { found_ = total; }
  void PhotoDone(int done, const std::string&, bool) override { done_ = done; }
  // Called on the preview decoder's thread.
  void PreviewReady(tarn::RgbImage) override { ++previews_; }
  void Finished(const tarn::RunResult& result) override { message_ = result.message; }

  int found() const { return found_; }
  int done() const { return done_; }
  int previews() const { return previews_.load(); }
  const std::string& message() const { return message_; }

 private:
  int found_ = 0;
  int done_ = 0;
  std::atomic<int> previews_{0};
  std::string message_;
};

uint32_t MillisecondTick() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

int FetchOne(const char* address, const char* file) {
  const auto start = std::chrono::steady_clock::now();
  try {
    // The photo cap guards a run against a hostile server; this fetch measures a big transfer.
    tarn::net::HttpTimeouts limits;
    limits.max_stream_body = UINT64_MAX;
    tarn::net::HttpClient client(limits);
    tarn::net::FileStream stream(file);
    client.FetchToStream(address, stream);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("RESULT seconds=%.4f bytes=%llu\n", elapsed.count(),
                static_cast<unsigned long long>(stream.Position()));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "the fetch failed: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string_view(argv[1]) == "fetch") return FetchOne(argv[2], argv[3]);
  const std::string_view mode = argc == 4 ? argv[3] : "";
  if (mode != "preview" && mode != "no-preview") {
    std::fprintf(stderr,
                 "usage: %s ALBUM_ADDRESS FOLDER preview|no-preview\n"
                 "       %s fetch ADDRESS FILE\n",
                 argv[0], argv[0]);
    return 2;
  }

  BenchEvents view;
  tarn::DownloadJob job;
  job.inputs = {argv[1], argv[2]};
  job.all_pages = true;
  job.settings.preview = mode == "preview";
  job.settings.tick = MillisecondTick;
  // Over https the run is one of today's service; its pause between requests is politeness,
  // not transfer speed, and a local server needs none.
  job.service.pause = std::chrono::milliseconds(0);
  job.service.image_pause = std::chrono::milliseconds(0);

  const auto start = std::chrono::steady_clock::now();
  tarn::DownloadWorker(view, std::move(job)).Run();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

  std::printf("RESULT seconds=%.4f found=%d done=%d previews=%d\n", elapsed.count(), view.found(),
              view.done(), view.previews());
  if (!view.message().empty()) {
    std::fprintf(stderr, "the run reported: %s\n", view.message().c_str());
    return 1;
  }
  return 0;
}
