// SPDX-License-Identifier: MIT
// Whole runs of the worker against a loopback album server: names, bytes, order, counts,
// retries and giving up.
#include "download/download_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <stop_token>
#include <thread>

#include "base/file_path.h"
#include "support/jpeg_encode.h"
#include "support/recording_events.h"
#include "support/route_server.h"
#include "support/temp_dir.h"
#include "support/tls_script_server.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::RecordingEvents;
using testing::RouteReply;
using testing::RouteServer;
using testing::TempDir;

constexpr uint32_t kStamp = 812;

std::string PhotoBytes(int i) {
  const auto bytes = testing::EncodeTestJpeg(120 + i * 8, 90);
  return std::string(bytes.begin(), bytes.end());
}

// An album of `pages` pages, `per_page` photos each, served by a RouteServer.
class Album {
 public:
  Album(int pages, int per_page) : pages_(pages), per_page_(per_page) {
    for (int i = 0; i < pages * per_page; ++i) photos_.push_back(PhotoBytes(i));
  }

  std::string Page(const std::string& host, int page) const {
    std::string html = "<html><head><title>湖边的相册</title></head><body>\n";
    for (int i = page * per_page_; i < (page + 1) * per_page_; ++i)
      html += "<a class=\"photolst_photo\" href=\"#\"><img src=\"http://" + host + "/view/thumb/p" +
              std::to_string(i) + ".jpg\" /></a>\n";
    html += "<div class=\"paginator\"><span class=\"next\">";
    if (page + 1 < pages_)
      html += "\n<link rel=\"next\" href=\"http://" + host +
              "/album/?start=" + std::to_string((page + 1) * per_page_) +
              "\"/>\n<a href=\"#\">后页&gt;</a>";
    else
      html += "后页&gt;";
    return html + "</span></div><link rel=\"icon\" href=\"/f.ico\"/></body></html>";
  }

  // Page 0 is /album/, later pages /album/?start=N; photos /view/photo/pN.jpg.
  RouteReply Answer(const std::string& host, const std::string& target) const {
    if (target == "/album/") return {200, Page(host, 0)};
    if (target.rfind("/album/?start=", 0) == 0)
      return {200, Page(host, std::stoi(target.substr(14)) / per_page_)};
    if (target.rfind("/view/photo/p", 0) == 0) {
      const size_t index = std::stoul(target.substr(13));
      if (index < photos_.size()) return {200, photos_[index]};
    }
    return {404, "missing"};
  }

  const std::string& PhotoAt(int i) const { return photos_[i]; }
  int Count() const { return static_cast<int>(photos_.size()); }

 private:
  int pages_;
  int per_page_;
  std::vector<std::string> photos_;
};

DownloadSettings FastSettings() {
  DownloadSettings settings;
  settings.retry.pauses = {std::chrono::milliseconds(1)};
  settings.timeouts.idle_read = std::chrono::milliseconds(2000);
  settings.tick = [] { return kStamp; };
  return settings;
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Worker : public ::testing::Test {
 protected:
  // The album at /album/ into the temp folder, or into `folder`.
  DownloadJob Job(bool smart, DownloadSettings settings = FastSettings(), std::string folder = {}) {
    DownloadJob job;
    job.inputs = {server->Url("/album/"), folder.empty() ? dir.path().string() : folder};
    job.all_pages = smart;
    job.settings = std::move(settings);
    return job;
  }

  // Runs a whole download of the album at /album/ into the temp folder.
  void RunWith(RouteServer::Handler handler, bool smart, DownloadSettings settings = {}) {
    server = std::make_unique<RouteServer>(std::move(handler));
    if (!settings.tick) settings = FastSettings();
    DownloadWorker(events, Job(smart, settings)).Run();
  }
  void RunAlbum(const Album& album, bool smart) {
    RunWith([&](const std::string& t, int) { return album.Answer(server->Host(), t); }, smart);
  }

  TempDir dir;
  std::unique_ptr<RouteServer> server;
  RecordingEvents events;
};

TEST_F(Worker, StandardRunSavesEveryPhotoOfTheFirstPageByteForByte) {
  Album album(2, 3);
  RunAlbum(album, false);
  EXPECT_EQ(events.totals, std::vector<int>{3});
  EXPECT_EQ(events.done_counts, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(events.finished, std::vector<std::string>{""});
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"812_0.jpg", "812_1.jpg", "812_2.jpg"}));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(ReadAll(dir.File("812_" + std::to_string(i) + ".jpg")), album.PhotoAt(i));
  // Standard mode never follows the next link; one kept connection serves everything.
  EXPECT_EQ(server->Targets(),
            (std::vector<std::string>{"/album/", "/view/photo/p0.jpg", "/view/photo/p1.jpg",
                                      "/view/photo/p2.jpg"}));
  EXPECT_EQ(server->Connections(), 1);
  // The last photo saved is the one left in the preview.
  ASSERT_FALSE(events.previews.empty());
  EXPECT_EQ(events.previews.back().width, 120 + 2 * 8);
}

TEST_F(Worker, SmartRunWalksExactlyTheFurtherPagesAndKeepsPageOrder) {
  Album album(3, 4);
  RunAlbum(album, true);
  const auto targets = server->Targets();
  EXPECT_EQ(std::count_if(targets.begin(), targets.end(),
                          [](const std::string& t) { return t.rfind("/album/", 0) == 0; }),
            3);
  EXPECT_EQ(events.totals, std::vector<int>{12});
  ASSERT_EQ(FilesIn(dir.path()).size(), 12u);
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(ReadAll(dir.File("812_" + std::to_string(i) + ".jpg")), album.PhotoAt(i)) << i;
}

TEST_F(Worker, SmartRunOnAOnePageAlbumEqualsTheStandardRun) {
  Album album(1, 2);
  RunAlbum(album, true);
  EXPECT_EQ(server->Targets().size(), 3u);
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"812_0.jpg", "812_1.jpg"}));
}

TEST_F(Worker, AlbumBeyondThePhotoLimitKeepsTheFirstPhotosAndSaysSo) {
  Album album(3, 4);
  DownloadSettings settings = FastSettings();
  settings.max_photos = 6;
  RunWith([&](const std::string& t, int) { return album.Answer(server->Host(), t); }, true,
          settings);
  EXPECT_EQ(events.totals, std::vector<int>{6});
  EXPECT_EQ(FilesIn(dir.path()).size(), 6u);
  EXPECT_EQ(ReadAll(dir.File("812_5.jpg")), album.PhotoAt(5));
  const auto targets = server->Targets();
  EXPECT_EQ(std::count(targets.begin(), targets.end(), "/album/?start=8"), 0);  // walk stopped
  EXPECT_EQ(events.finished, std::vector<std::string>{"相册照片太多，只保存了前 6 张。"});
}

TEST_F(Worker, MalformedUtf8PageGivesNoPhotosAndEndsAtOnce) {
  RunWith(
      [&](const std::string&, int) {
        return RouteReply{200, "photolst_photo <img src=\"http://h/thumb\" /> \xC3("};
      },
      false);
  EXPECT_EQ(events.totals, std::vector<int>{0});
  EXPECT_TRUE(events.done_counts.empty());
  EXPECT_EQ(events.finished, std::vector<std::string>{""});
  EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST_F(Worker, FailedAndCutShortPhotosAreRetriedIntoAnEmptiedFile) {
  Album album(1, 2);
  RunWith(
      [&](const std::string& target, int earlier) {
        if (target == "/view/photo/p0.jpg" && earlier == 0) return RouteReply{500, "oops"};
        if (target == "/view/photo/p1.jpg" && earlier < 2) {
          RouteReply cut = album.Answer(server->Host(), target);
          cut.cut_after = static_cast<long>(cut.body.size() / 2);
          return cut;
        }
        return album.Answer(server->Host(), target);
      },
      false);
  EXPECT_EQ(ReadAll(dir.File("812_0.jpg")), album.PhotoAt(0));
  EXPECT_EQ(ReadAll(dir.File("812_1.jpg")), album.PhotoAt(1));
  EXPECT_EQ(events.finished, std::vector<std::string>{""});
}

TEST_F(Worker, PhotoThatNeverArrivesIsDeletedAfterFiveAttemptsAndCounted) {
  Album album(1, 3);
  RunWith(
      [&](const std::string& target, int) {
        if (target == "/view/photo/p1.jpg") return RouteReply{500, "down"};
        return album.Answer(server->Host(), target);
      },
      false);
  const auto targets = server->Targets();
  EXPECT_EQ(std::count(targets.begin(), targets.end(), "/view/photo/p1.jpg"), 5);
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"812_0.jpg", "812_2.jpg"}));
  EXPECT_EQ(events.done_counts, (std::vector<int>{1, 2, 3}));  // progress still advances
  EXPECT_EQ(events.finished, std::vector<std::string>{"有 1 张照片未能保存。"});
}

TEST_F(Worker, PhotosThatAnotherTryCannotMendAreTriedOnceAndCounted) {
  Album album(1, 3);
  DownloadSettings settings = FastSettings();
  settings.timeouts.max_stream_body = 64;  // photo 2 is larger
  RunWith(
      [&](const std::string& target, int) {
        if (target == "/view/photo/p0.jpg") return RouteReply{404, "gone"};
        if (target == "/view/photo/p1.jpg") return RouteReply{200, "tiny"};
        return album.Answer(server->Host(), target);
      },
      false, settings);
  const auto targets = server->Targets();
  EXPECT_EQ(targets, (std::vector<std::string>{"/album/", "/view/photo/p0.jpg",
                                               "/view/photo/p1.jpg", "/view/photo/p2.jpg"}));
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"812_1.jpg"});
  EXPECT_EQ(events.finished, std::vector<std::string>{"有 2 张照片未能保存。"});
}

TEST_F(Worker, EarlierPhotosAreNeverOverwrittenAndTheStampMovesOn) {
  Album album(1, 3);
  const std::string second = dir.File("second");
  std::filesystem::create_directory(second);
  testing::WriteAll(dir.File("812_7.jpg"), "older run");
  testing::WriteAll(second + "/813_1.jpg", "older run");
  server = std::make_unique<RouteServer>(
      [&](const std::string& t, int) { return album.Answer(server->Host(), t); });
  std::atomic<bool> moved{false};
  events.on_photo_done = [&](int) { moved = true; };
  DownloadJob job = Job(false);
  job.inputs_now = [&, address = job.inputs.address] {
    return RunInputs{address, moved ? second : dir.path().string()};
  };
  DownloadWorker(events, std::move(job)).Run();
  EXPECT_EQ(ReadAll(dir.File("812_7.jpg")), "older run");
  EXPECT_EQ(ReadAll(second + "/813_1.jpg"), "older run");
  EXPECT_EQ(ReadAll(dir.File("813_0.jpg")), album.PhotoAt(0));
  EXPECT_EQ(ReadAll(second + "/814_1.jpg"), album.PhotoAt(1));
  EXPECT_EQ(ReadAll(second + "/814_2.jpg"), album.PhotoAt(2));
}

TEST_F(Worker, AlbumPageThatNeverArrivesEndsTheRunWithTheAddressAndTheError) {
  RunWith([&](const std::string&, int) { return RouteReply{503, "busy"}; }, false);
  EXPECT_EQ(server->Targets().size(), 5u);
  EXPECT_TRUE(events.totals.empty());
  ASSERT_EQ(events.finished.size(), 1u);
  const std::string& message = events.finished[0];
  EXPECT_EQ(message.rfind("无法获取相册页面：" + server->Url("/album/") + "\n", 0), 0u) << message;
  EXPECT_NE(message.find("503"), std::string::npos) << message;
}

TEST_F(Worker, FolderThatCannotTakeFilesEndsTheRunNamingTheFile) {
  Album album(1, 2);
  server = std::make_unique<RouteServer>(
      [&](const std::string& t, int) { return album.Answer(server->Host(), t); });
  const std::string gone = dir.File("gone");
  DownloadWorker(events, Job(false, FastSettings(), gone)).Run();
  ASSERT_EQ(events.finished.size(), 1u);
  EXPECT_EQ(events.finished[0].rfind("无法创建文件：" + FileInFolder(gone, "812_0.jpg"), 0), 0u)
      << events.finished[0];
  EXPECT_TRUE(events.done_counts.empty());
}

TEST_F(Worker, ChangedFolderTakesThePhotosThatFollow) {
  Album album(1, 3);
  const std::string second = dir.File("second");
  std::filesystem::create_directory(second);
  server = std::make_unique<RouteServer>(
      [&](const std::string& t, int) { return album.Answer(server->Host(), t); });
  // The box changes after the first photo, and again after the last one is saved and before
  // its preview is decoded.
  std::mutex mutex;
  std::string folder = dir.path().string();
  events.on_photo_done = [&](int done) {
    std::lock_guard lock(mutex);
    if (done == 1) folder = second;
    if (done == 3) folder = dir.File("elsewhere");
  };
  DownloadJob job = Job(false);
  job.inputs_now = [&, address = job.inputs.address] {
    std::lock_guard lock(mutex);
    return RunInputs{address, folder};
  };
  DownloadWorker(events, std::move(job)).Run();
  EXPECT_EQ(ReadAll(dir.File("812_0.jpg")), album.PhotoAt(0));
  EXPECT_EQ(ReadAll(FileInFolder(second, "812_1.jpg")), album.PhotoAt(1));
  EXPECT_EQ(ReadAll(FileInFolder(second, "812_2.jpg")), album.PhotoAt(2));
  // Each report names the file the photo went into.
  EXPECT_EQ(events.saved_paths,
            (std::vector<std::string>{dir.File("812_0.jpg"), FileInFolder(second, "812_1.jpg"),
                                      FileInFolder(second, "812_2.jpg")}));
  ASSERT_FALSE(events.previews.empty());
  EXPECT_EQ(events.previews.back().width, 120 + 2 * 8);
}

TEST_F(Worker, SavedFileThatIsNoJpegIsKeptAndLeavesThePreviewAlone) {
  RunWith(
      [&](const std::string& target, int) {
        if (target == "/album/")
          return RouteReply{200,
                            "photolst_photo <img src=\"" + server->Url("/thumb.gif") + "\" />"};
        return RouteReply{200, "GIF89a not a jpeg"};
      },
      false);
  EXPECT_EQ(ReadAll(dir.File("812_0.jpg")), "GIF89a not a jpeg");
  EXPECT_TRUE(events.previews.empty());
  EXPECT_EQ(events.finished, std::vector<std::string>{""});
}

TEST_F(Worker, CancelBreaksOffAFetchThatNeverAnswersAndTellsTheViewNothing) {
  // A server that takes the request and then stays silent for longer than the test runs.
  server = std::make_unique<RouteServer>([&](const std::string&, int) {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    return RouteReply{404, ""};
  });
  DownloadSettings settings = FastSettings();
  settings.timeouts.idle_read = std::chrono::milliseconds(60000);
  DownloadWorker worker(events, Job(false, settings));
  std::stop_source stop;
  std::thread run([&] { worker.Run(stop.get_token()); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (server->Targets().empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  ASSERT_FALSE(server->Targets().empty());
  stop.request_stop();
  run.join();
  EXPECT_TRUE(events.finished.empty());
  EXPECT_TRUE(events.totals.empty());
}

// An http album the server moves to https is a run of today's service from that request on:
// the moved request speaks as a browser, and a 418 to it is a refusal, not a missing album.
TEST(UpgradedAlbum, TheMovedRequestHasTodaysMannersAndRefusals) {
  net::testing::TlsScriptServer server(
      R"([[["sniff"], ["read"], ["send", "HTTP/1.1 301 Moved\r\nLocation: )"
      R"(https://127.0.0.1:{port}/photos/album/7/\r\nContent-Length: 0\r\n\r\n"],)"
      R"( ["await_close"]],)"
      R"( [["sniff"], ["read"], ["send", "HTTP/1.1 418 Teapot\r\nContent-Length: 0\r\n\r\n"],)"
      R"( ["await_close"]]])");
  ASSERT_TRUE(server.Ready());
  TempDir dir;
  RecordingEvents events;
  DownloadJob job;
  job.inputs = {server.Url("/photos/album/7/", true), dir.path().string()};
  job.settings = FastSettings();
  DownloadWorker(events, std::move(job)).Run();
  ASSERT_EQ(events.results.size(), 1u);
  EXPECT_EQ(events.results[0].stop, RunResult::Stop::kRefused);
  server.Finish();
  EXPECT_EQ(server.Mode(1), "tls");
  const std::vector<std::string> moved = server.Requests(1);
  ASSERT_EQ(moved.size(), 1u);
  EXPECT_NE(moved[0].find("\r\nUser-Agent: " + std::string(kBrowserUserAgent) + "\r\n"),
            std::string::npos)
      << moved[0];
  EXPECT_NE(moved[0].find("\r\nReferer: https://127.0.0.1:"), std::string::npos) << moved[0];
  EXPECT_EQ(server.ExtraConnections(), 0);  // nothing retried after the refusal
}

}  // namespace
}  // namespace tarn
