// SPDX-License-Identifier: MIT
// Both workers against the sample album server: every file byte for byte, the names, the
// order, and what the window was told.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "download/download_worker.h"
#include "net/http/http_client.h"
#include "support/recording_events.h"
#include "support/sample_server_process.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;

struct ManifestEntry {
  std::string address;
  std::string cached_file;
};

// The server's list of the album's photos, in album order.
std::vector<ManifestEntry> Manifest(const std::string& base) {
  net::HttpClient client;
  std::istringstream lines(client.FetchText(base + "/manifest"));
  std::vector<ManifestEntry> entries;
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string index, size;
    ManifestEntry entry;
    std::getline(fields, index, '\t');
    std::getline(fields, size, '\t');
    std::getline(fields, entry.address, '\t');
    std::getline(fields, entry.cached_file, '\t');
    entries.push_back(entry);
  }
  return entries;
}

void RunAndCompare(bool smart, const std::string& extra_arguments = "") {
  testing::SampleServerProcess server(extra_arguments);
  ASSERT_TRUE(server.Ready());
  const auto manifest = Manifest(server.Base());
  ASSERT_EQ(static_cast<int>(manifest.size()), server.Photos());
  const size_t expected = smart ? manifest.size() : std::min<size_t>(manifest.size(), 18);

  testing::TempDir dir;
  testing::RecordingEvents view;
  DownloadJob job;
  job.inputs = {server.AlbumUrl(), dir.path().string()};
  job.all_pages = smart;
  job.settings.retry.pauses = {std::chrono::milliseconds(1)};
  job.settings.tick = [] { return 3000000000u; };  // above 2^31: written without a sign
  DownloadWorker(view, std::move(job)).Run();

  EXPECT_EQ(view.finished, std::vector<std::string>{""});
  EXPECT_EQ(view.totals, std::vector<int>{static_cast<int>(expected)});
  ASSERT_EQ(view.done_counts.size(), expected);
  for (size_t i = 0; i < expected; ++i) {
    EXPECT_EQ(view.done_counts[i], static_cast<int>(i + 1));
    const std::string saved = dir.File("3000000000_" + std::to_string(i) + ".jpg");
    ASSERT_TRUE(std::filesystem::exists(saved)) << saved;
    EXPECT_TRUE(ReadAll(saved) == ReadAll(manifest[i].cached_file)) << saved;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            static_cast<long>(expected));
  EXPECT_FALSE(view.previews.empty());
}

TEST(SampleAlbum, StandardModeSavesTheFirstPage) { RunAndCompare(false); }

TEST(SampleAlbum, SmartModeSavesTheWholeAlbum) { RunAndCompare(true); }

TEST(SampleAlbum, FailingAndCutShortAnswersAreRetried) {
  RunAndCompare(true, "--photos 12 --per-page 5 --fail-first 1 --cut-first 1 --fail-pages 1");
}

TEST(SampleAlbum, AnUntrustedCertificateEndsTheRunAtOnceNamingTheAddress) {
  testing::SampleServerProcess server("--tls --photos 3");
  ASSERT_TRUE(server.Ready());
  testing::UnsetTestEnvironment("SSL_CERT_FILE");  // the test authority is not trusted
  testing::TempDir dir;
  testing::RecordingEvents events;
  DownloadJob job;
  job.inputs = {server.AlbumUrl(), dir.path().string()};
  job.settings.retry.pauses = {std::chrono::seconds(30)};  // a retry would hold the test
  DownloadWorker(events, std::move(job)).Run();
  ASSERT_EQ(events.results.size(), 1u);
  EXPECT_EQ(events.results[0].stop, RunResult::Stop::kSecure);
  EXPECT_EQ(events.finished[0].rfind("无法建立安全连接：" + server.AlbumUrl() + "\n", 0), 0u)
      << events.finished[0];
  EXPECT_NE(events.finished[0].find("unable to get local issuer certificate"), std::string::npos)
      << events.finished[0];
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace tarn
