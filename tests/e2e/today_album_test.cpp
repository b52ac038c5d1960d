// SPDX-License-Identifier: MIT
// Runs of today's service against the sample server's today's mode (HTTPS, today's markup,
// the service's refusals): files, names, the album's text, manners, refusals and resuming.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "download/download_worker.h"
#include "download/folder_lock.h"
#include "net/http/http_client.h"
#include "support/recording_events.h"
#include "support/sample_server_process.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::RecordingEvents;
using testing::SampleServerProcess;

constexpr int kPauseMs = 60, kImagePauseMs = 20;
constexpr uint64_t kFirstPhotoId = 2190455501, kPhotoIdStep = 7919;  // the sample album's ids
constexpr int kWebpOnly = 7;  // a photo the server has only as a list-size WebP

std::string PhotoName(int index, const char* extension = ".jpg") {
  return "p" + std::to_string(kFirstPhotoId + kPhotoIdStep * index) + extension;
}

class TodayAlbum : public ::testing::Test {
 protected:
  void Start(const std::string& arguments) {
    server = std::make_unique<SampleServerProcess>("--today " + arguments);
    ASSERT_TRUE(server->Ready());
    testing::SetTestEnvironment("SSL_CERT_FILE", server->CaFile());
    testing::SetTestEnvironment("TARN_PHOTO_HOST", server->Host());
    const std::string movie = server->Field("movie");
    testing::SetTestEnvironment("TARN_MOVIE_HOST", movie.substr(movie.find("://") + 3));
  }
  std::unique_ptr<RecordingEvents> Download(const std::string& address) {
    auto events = std::make_unique<RecordingEvents>();
    DownloadJob job;
    job.inputs = {address, dir.path().string()};
    job.all_pages = true;
    job.service.pause = std::chrono::milliseconds(kPauseMs);
    job.service.image_pause = std::chrono::milliseconds(kImagePauseMs);
    job.settings.service_retry.pauses = {std::chrono::milliseconds(1)};
    DownloadWorker(*events, std::move(job)).Run();
    return events;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  testing::TempDir dir;
  std::unique_ptr<SampleServerProcess> server;
};

TEST_F(TodayAlbum, ThreePagesSavedWholeInLargeSizeWithTheAlbumsTextAndManners) {
  Start("--photos 40 --min-gap-ms 40 --min-image-gap-ms 14");
  const auto run = Download(server->AlbumUrl());
  ASSERT_EQ(run->finished, std::vector<std::string>{""});
  EXPECT_EQ(run->totals, std::vector<int>{40});
  EXPECT_EQ(Files().size(), 41u);  // the photos and the album's text, no .part
  for (int i = 0; i < 40; ++i) {
    if (i == kWebpOnly) continue;
    char cached[32];
    std::snprintf(cached, sizeof cached, "/photo_%04d.jpg", i);  // the large size
    EXPECT_TRUE(ReadAll(dir.File(PhotoName(i))) == ReadAll(server->Cache() + cached)) << i;
  }
  char webp[32];
  std::snprintf(webp, sizeof webp, "/today_m_%04d.webp", kWebpOnly);
  EXPECT_TRUE(ReadAll(dir.File(PhotoName(kWebpOnly, ".webp"))) == ReadAll(server->Cache() + webp));

  const std::string text = ReadAll(dir.File("album_1681427427.txt"));
  EXPECT_NE(text.find("西湖十景 · 湖光小集样例相册"), std::string::npos) << text;
  EXPECT_NE(text.find("照片由湖光小集样例生成 & 仅供测试。"), std::string::npos) << text;
  EXPECT_NE(text.find(server->AlbumUrl()), std::string::npos) << text;
  const size_t quoted = text.find(PhotoName(2) + "\t");
  ASSERT_NE(quoted, std::string::npos) << text;
  EXPECT_NE(text.find("石碑上写着\"平湖秋月\"", quoted), std::string::npos) << text;
  EXPECT_LT(text.find(PhotoName(1) + "\t"), quoted);
  EXPECT_LT(quoted, text.find(PhotoName(39) + "\t"));

  const std::vector<testing::LoggedRequest> log = RequestLog(*server);
  ASSERT_EQ(log.size(), 3u + 40u + 3u);  // the pages, the photos, the WebP's three misses
  EXPECT_EQ(log[0].fields.at("referer"), server->Base() + "/");
  // Pages and pictures each keep their own pace; pictures are asked for as images are.
  std::map<bool, double> last;
  for (size_t i = 0; i < log.size(); ++i) {
    SCOPED_TRACE(log[i].fields.at("target"));
    EXPECT_EQ(log[i].fields.at("user-agent"), kBrowserUserAgent);
    const bool picture = log[i].fields.at("host") == "img";
    EXPECT_EQ(log[i].fields.at("fetch"), picture ? "image/no-cors/cross-site" : "//");
    if (last.count(picture)) {
      EXPECT_GE(log[i].ms - last[picture], (picture ? kImagePauseMs : kPauseMs) * 0.75 - 1);
    }
    last[picture] = log[i].ms;
    if (i > 0) {
      EXPECT_EQ(log[i].fields.at("referer"), server->AlbumUrl());
    }
  }
  // The WebP-only photo went down the ladder: large .jpg, large .webp, listed .jpg, listed .webp.
  std::vector<std::string> ladder;
  const std::string id = PhotoName(kWebpOnly, "");
  for (const testing::LoggedRequest& entry : log) {
    const std::string& target = entry.fields.at("target");
    if (target.find(id) != std::string::npos) ladder.push_back(target);
  }
  EXPECT_EQ(ladder,
            (std::vector<std::string>{
                "/view/photo/l/public/" + id + ".jpg", "/view/photo/l/public/" + id + ".webp",
                "/view/photo/m/public/" + id + ".jpg", "/view/photo/m/public/" + id + ".webp"}));
}

TEST_F(TodayAlbum, ARefusalKeepsWhatWasSavedAndTheNextRunSavesOnlyTheRest) {
  Start("--photos 10 --refuse-after 5");
  const auto refused = Download(server->AlbumUrl());
  ASSERT_EQ(refused->results.size(), 1u);
  EXPECT_EQ(refused->results[0].stop, RunResult::Stop::kRefused);
  const std::string& message = refused->finished[0];
  EXPECT_NE(message.find("HTTP 302"), std::string::npos) << message;
  EXPECT_NE(message.find("已保存 4 张照片"), std::string::npos) << message;
  EXPECT_EQ(Files(), (std::vector<std::string>{"album_1681427427.txt", PhotoName(0), PhotoName(1),
                                               PhotoName(2), PhotoName(3)}));
  EXPECT_EQ(RequestLog(*server).size(), 6u);  // nothing asked after the refusal

  net::HttpClient().FetchText(server->Base() + "/stats/reset");  // the ban is over
  const auto rest = Download(server->AlbumUrl());
  EXPECT_EQ(rest->finished, std::vector<std::string>{""});
  EXPECT_EQ(rest->done_counts.size(), 10u);
  EXPECT_EQ(Files().size(), 11u);
  for (const testing::LoggedRequest& entry : RequestLog(*server)) {
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(entry.fields.at("target").find(PhotoName(i, "")), std::string::npos);
  }
}

TEST_F(TodayAlbum, APrivateAlbumIsSaidToBeNotPublic) {
  Start("--photos 3");
  const auto run = Download(server->PrivateAlbumUrl());
  ASSERT_EQ(run->results.size(), 1u);
  EXPECT_EQ(run->results[0].stop, RunResult::Stop::kNotPublic);
  EXPECT_NE(run->finished[0].find("没有公开"), std::string::npos) << run->finished[0];
  EXPECT_TRUE(Files().empty());
}

// Whether the log holds a request for a photo (any size) of the image host.
bool AskedForPhotos(const SampleServerProcess& server) {
  for (const testing::LoggedRequest& entry : RequestLog(server))
    if (entry.fields.at("target").starts_with("/view/photo/")) return true;
  return false;
}

// The old address moves through pages of both hosts, each hop paced like any request.
TEST_F(TodayAlbum, AnOldStarPageLandsOnTheStarsPhotosSavedWholeAndOnlyOnce) {
  Start("--photos 3 --min-gap-ms 40");
  const auto run = Download(server->Field("celebrity"));
  ASSERT_EQ(run->finished, std::vector<std::string>{""});
  EXPECT_EQ(run->results[0].saved, 75);
  const std::vector<std::string> files = Files();
  EXPECT_EQ(files.size(), 76u);
  EXPECT_EQ(std::count(files.begin(), files.end(), "personage_27260317.txt"), 1);
  const std::string text = ReadAll(dir.File("personage_27260317.txt"));
  EXPECT_NE(text.find("\np2100000007.jpg\t1200x800\t"), std::string::npos) << text;

  net::HttpClient().FetchText(server->Base() + "/stats/reset");
  const auto again = Download(server->Field("star"));
  EXPECT_EQ(again->results[0].already_there, 75);
  EXPECT_FALSE(AskedForPhotos(*server));
}

TEST_F(TodayAlbum, AFilmsStillsStopAtARefusalAndTheNextRunSavesTheRest) {
  Start("--photos 3 --refuse-after 8");
  const auto refused = Download(server->Field("film"));
  ASSERT_EQ(refused->results.size(), 1u);
  EXPECT_EQ(refused->results[0].stop, RunResult::Stop::kRefused);
  const size_t asked = RequestLog(*server).size();

  net::HttpClient().FetchText(server->Base() + "/stats/reset");
  const auto rest = Download(server->Field("film"));
  EXPECT_EQ(rest->finished, std::vector<std::string>{""});
  EXPECT_EQ(rest->results[0].saved, 32);
  EXPECT_EQ(rest->results[0].already_there, static_cast<int>(asked) - 3);  // pages, refusal
  EXPECT_EQ(Files().size(), 33u);  // the stills and subject_35267208_S.txt
}

// What a hostile service answers must neither be kept as a photo nor lead the run off HTTPS.
TEST_F(TodayAlbum, HostileAnswersAreNoPhotosAndHttpLinksAreNotFollowed) {
  Start("--photos 3 --hostile empty-photo");
  const auto empty = Download(server->AlbumUrl());
  EXPECT_EQ(empty->results[0].failed, 1);
  EXPECT_EQ(Files(),
            (std::vector<std::string>{"album_1681427427.txt", PhotoName(0), PhotoName(2)}));

  Start("--photos 3 --hostile page-photo");
  std::filesystem::remove(dir.File(PhotoName(0)));
  EXPECT_EQ(Download(server->AlbumUrl())->results[0].stop, RunResult::Stop::kRefused);

  Start("--photos 3 --hostile stub-photo");
  const auto stub = Download(server->AlbumUrl());
  EXPECT_EQ(stub->results[0].failed, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.File(PhotoName(1))));

  // Only the upgrade to https and an old star address are followed.
  Start("--photos 3 --hostile moved-album");
  const auto moved = Download(server->AlbumUrl());
  EXPECT_EQ(moved->results[0].stop, RunResult::Stop::kAlbumPage);
  EXPECT_NE(moved->finished[0].find("301"), std::string::npos) << moved->finished[0];
  EXPECT_EQ(RequestLog(*server).size(), 1u);

  Start("--photos 20 --hostile plain-next");
  const auto cut = Download(server->AlbumUrl());
  EXPECT_TRUE(cut->results[0].walk_cut);
  EXPECT_EQ(cut->results[0].found, 18);
  EXPECT_NE(cut->finished[0].find("https"), std::string::npos) << cut->finished[0];
}

// "Slow down" is no refusal: the run waits as asked and goes on; asked three times in a row, it
// stops as at a refusal.
TEST_F(TodayAlbum, ASlowDownIsWaitedOutAndOnlyAThirdInARowStops) {
  Start("--photos 3 --slow-down 1 --retry-after 3");
  const auto slowed = Download(server->AlbumUrl());
  EXPECT_EQ(slowed->finished, std::vector<std::string>{""});
  EXPECT_EQ(slowed->results[0].saved, 3);
  EXPECT_EQ(slowed->waits, std::vector<int>{3});  // a wait worth telling
  const std::vector<testing::LoggedRequest> log = RequestLog(*server);
  ASSERT_EQ(log.size(), 5u);  // the page, a photo, the 429, the same photo again, the last
  EXPECT_EQ(log[2].fields.at("status"), "429");
  EXPECT_EQ(log[3].fields.at("target"), log[2].fields.at("target"));
  EXPECT_GE(log[3].ms - log[2].ms, 3000 - 1);  // its Retry-After

  Start("--photos 3 --slow-down 3");
  std::filesystem::remove_all(dir.path());
  std::filesystem::create_directory(dir.path());
  const auto stopped = Download(server->AlbumUrl());
  EXPECT_EQ(stopped->results[0].stop, RunResult::Stop::kRefused);
  EXPECT_EQ(RequestLog(*server).size(), 5u);  // nothing after the third
}

// A folder another run saves into is not shared: its .part files are that run's alone.
TEST_F(TodayAlbum, AFolderAnotherRunHoldsIsLeftAlone) {
  Start("--photos 3");
  const FolderLock other(dir.path().string());
  const auto run = Download(server->AlbumUrl());
  EXPECT_EQ(run->results[0].stop, RunResult::Stop::kFile);
  EXPECT_TRUE(Files().empty());
  EXPECT_FALSE(AskedForPhotos(*server));
}

}  // namespace
}  // namespace tarn
