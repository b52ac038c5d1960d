// SPDX-License-Identifier: MIT
// tarn-get as a program: exit statuses, files, output, signals.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "net/http/http_client.h"
#include "support/loopback_server.h"
#include "support/proxy_server_process.h"
#include "support/route_server.h"
#include "support/sample_server_process.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

using testing::ReadAll;
using testing::RouteReply;
using testing::RouteServer;
using testing::TempDir;

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

// The user's configuration folder of every run: none unless a test writes one.
const TempDir& ConfigHome() {
  static const TempDir folder;
  return folder;
}

// Runs tarn-get with the photo host set to `host` and `input` on its standard input.
// `on_output` sees the output so far and gets the child's pid, to signal it. Without
// `read_output` its standard output is a small pipe nobody reads.
Outcome RunTarnGet(const std::vector<std::string>& arguments, const std::string& host,
                   const std::string& input = "",
                   const std::function<void(const std::string&, pid_t)>& on_output = {},
                   bool read_output = true) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
    return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    setenv("TARN_PHOTO_HOST", host.c_str(), 1);
    setenv("XDG_CONFIG_HOME", ConfigHome().path().c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(TARN_GET)};
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(TARN_GET, argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (!input.empty()) (void)!write(in[1], input.data(), input.size());
  close(in[1]);
  Outcome outcome;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  if (!read_output) {
    fcntl(out[0], F_SETPIPE_SZ, 4096);  // full after some 60 lines
    fds[0].fd = -1;
    --open;
  }
  while (open > 0) {
    if (poll(fds, 2, 60000) <= 0) break;  // a hang ends the test, not the run
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
        continue;
      }
      (i == 0 ? outcome.out : outcome.err).append(buffer, static_cast<size_t>(got));
      if (i == 0 && on_output) on_output(outcome.out, pid);
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!read_output) close(out[0]);
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return outcome;
}

size_t FilesIn(const std::filesystem::path& folder) {
  if (!std::filesystem::exists(folder)) return 0;
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                           std::filesystem::directory_iterator()));
}

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(TarnGet, TwoAlbumsFromArgumentsAndStdinSavedWholeWithPlainLines) {
  testing::SampleServerProcess server("--photos 7 --per-page 3");
  ASSERT_TRUE(server.Ready());
  TempDir dir;
  const std::string folder = dir.File("new/folder");  // made with its parents
  const Outcome run = RunTarnGet({"-o", folder, server.AlbumUrl(), "-i", "-"}, server.Host(),
                                 "# the same album again\n" + server.AlbumUrl() + "\n");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FilesIn(folder), 14u);
  EXPECT_EQ(Count(run.out, "\n已保存 "), 13u);  // the first line has no line before it
  EXPECT_EQ(Count(run.out, "：已保存 7/7 张"), 2u);
  // Piped output is plain lines: no carriage return, no escape, no other control character.
  EXPECT_TRUE(std::none_of(run.out.begin(), run.out.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\n';
  })) << run.out;
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(TarnGet, RefusedArgumentsAndAddressesFetchNothing) {
  RouteServer server([](const std::string&, int) { return RouteReply{200, "photolst_photo"}; });
  TempDir dir;
  const std::string good = server.Url("/photos/album/1/");
  const struct {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{"-o", dir.path().string(), good, "http://elsewhere/photos/album/1/"}, "暂时不支持"},
      {{"--size", "huge", good}, "huge"},
      {{"--pause", "-5", good}, "-5"},
      {{"-o", dir.path().string()}, "没有相册地址"},
      {{"-i", dir.File("missing.txt"), good}, "无法读取地址列表"},
      {{"--no-such-option", good}, "no-such-option"},
      {{"--cookies", dir.File("missing.txt"), good}, "无法读取 Cookie"},
      {{"--cookies", "dbcl2=\"1:SeCrEt\"", good}, "--cookies"},  // never echoed
      {{"--cookies", dir.File("foreign.txt"), good}, "没有豆瓣的 Cookie"},
      {{"--cookies", dir.File("foreign.txt"), "--no-cookies", good}, "excludes"},
      {{"-i", "-", "--cookies", "-", good}, "标准输入"},
  };
  testing::WriteAll(dir.File("foreign.txt"), ".google.com\tTRUE\t/\tFALSE\t0\tSID\ts\n");
  for (const auto& c : cases) {
    const Outcome run = RunTarnGet(c.arguments, server.Host());
    EXPECT_EQ(run.status, 2) << c.error;
    EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("SeCrEt"), std::string::npos) << c.error;
  }
  EXPECT_TRUE(server.Targets().empty());
  EXPECT_EQ(RunTarnGet({"--help"}, server.Host()).status, 0);
}

// Per request of the server's log: its host, and whether it carried cookies.
std::vector<std::string> CookiesByHost(const testing::SampleServerProcess& server) {
  std::set<std::string> requests;
  for (const testing::LoggedRequest& request : RequestLog(server)) {
    requests.insert(request.fields.at("host") +
                    (request.fields.at("cookies").empty() ? "" : " with cookies"));
  }
  net::HttpClient().FetchText(server.Base() + "/stats/reset");
  return {requests.begin(), requests.end()};
}

// Everything a run printed and every file under `folder`.
std::string PrintedAndWritten(const Outcome& run, const std::filesystem::path& folder) {
  std::string everything = run.out + run.err;
  for (const auto& file : std::filesystem::recursive_directory_iterator(folder)) {
    if (file.is_regular_file()) everything += ReadAll(file.path());
  }
  return everything;
}

// Whether any value of the Cookie line `line` stands in `text`.
bool HoldsACookieValue(std::string_view line, const std::string& text) {
  for (std::string_view rest = line; !rest.empty();) {
    const std::string_view item = rest.substr(0, rest.find(';'));
    rest.remove_prefix(std::min(rest.size(), item.size() + 1));
    if (text.find(std::string(item.substr(item.find('=') + 1))) != std::string::npos) return true;
  }
  return false;
}

TEST(TarnGet, ASignInGoesToTheServiceAloneAndIsNeverPrintedOrWritten) {
  testing::SampleServerProcess server("--today --photos 3");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  TempDir dir;
  const std::string line = server.Field("cookie");
  // The window's sign-in, readable by others.
  const std::filesystem::path saved = ConfigHome().path() / "tarn/cookies.txt";
  std::filesystem::create_directories(saved.parent_path());
  std::filesystem::copy_file(server.Field("cookies"), saved);
  chmod(saved.c_str(), 0644);
  const std::vector<std::string> signed_in = {"img", "www with cookies"};
  const struct {
    std::vector<std::string> arguments;
    const char* input;
    std::vector<std::string> requests;
    size_t warnings;  // that the saved file is readable by others
  } cases[] = {
      {{"--cookies", "-", "-o", dir.File("line")}, line.c_str(), signed_in, 0},
      {{"--cookies", server.Field("cookies"), "-o", dir.File("txt")}, "", signed_in, 0},
      {{"-o", dir.File("saved"), server.AlbumUrl() + "?again"}, "", signed_in, 1},
      {{"--no-cookies", "-o", dir.File("out")}, "", {"img", "www"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(), {"--pause", "0", server.AlbumUrl()});
    const Outcome run = RunTarnGet(arguments, server.Host(), c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(CookiesByHost(server), c.requests);
    EXPECT_EQ(Count(run.err, "别的用户也能读取"), c.warnings) << run.err;
    EXPECT_FALSE(HoldsACookieValue(line, PrintedAndWritten(run, dir.path())));
  }
  std::filesystem::remove(saved);
}

// A saved sign-in that signs nobody in is named, and the run goes on signed out.
TEST(TarnGet, ASavedSignInThatCannotBeUsedIsNamedAndTheRunGoesOn) {
  RouteServer server([](const std::string&, int) { return RouteReply{200, "photolst_photo"}; });
  TempDir dir;
  const std::filesystem::path saved = ConfigHome().path() / "tarn/cookies.txt";
  std::filesystem::create_directories(saved.parent_path());
  testing::WriteAll(saved.string(), "hello");
  const Outcome run =
      RunTarnGet({"-o", dir.path().string(), server.Url("/photos/album/1/")}, server.Host());
  EXPECT_NE(run.err.find(saved.string()), std::string::npos) << run.err;
  EXPECT_FALSE(server.Targets().empty());
  std::filesystem::remove(saved);
}

// Signed in: a friends-only album and a person's albums, each album in its subfolder; signed
// out or expired: each says so and ends with four, having saved nothing.
TEST(TarnGet, WhatOnlyASignInShowsIsSavedWithItAndRefusedWithout) {
  testing::SampleServerProcess server("--today --photos 4");  // the small album shows all four
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  TempDir dir;
  const Outcome signed_in =
      RunTarnGet({"--cookies", server.Field("cookies"), "--pause", "0", "-o", dir.File("in"),
                  server.Field("friends"), server.Field("person")},
                 server.Host());
  EXPECT_EQ(signed_in.status, 0) << signed_in.err;
  // The friends' photos and their album's text, then the person's three folders.
  EXPECT_EQ(FilesIn(dir.File("in")), 5u + 1u + 3u);
  EXPECT_EQ(FilesIn(dir.File("in/1681427429 只给朋友看的西湖")), 5u + 1u);
  EXPECT_EQ(FilesIn(dir.File("in/1681427430 断桥残雪")), 4u + 1u);
  EXPECT_FALSE(HoldsACookieValue(server.Field("cookie"), PrintedAndWritten(signed_in, dir.path())));
  size_t large_friends = 0;  // found on each photo's own page, never the list's small ones
  for (const testing::LoggedRequest& entry : RequestLog(server))
    large_friends += entry.fields.at("target").starts_with("/view/photo/l/") &&
                     entry.fields.at("target").find("/x229") != std::string::npos;
  EXPECT_EQ(large_friends, 10u);  // the album's five, and again inside the person's

  const struct {
    std::vector<std::string> arguments;
    const char* input;
    const char* says;
  } refused[] = {
      {{"--no-cookies", server.Field("friends")}, "", "没有公开"},
      {{"--no-cookies", server.Field("person")}, "", "只有登录后才能看到"},
      {{"--cookies", "-", server.Field("person")}, "dbcl2=\"51234567:expired\"", "登录已失效"},
  };
  for (const auto& c : refused) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), {"--pause", "0", "-o", dir.File("out")});
    const Outcome run = RunTarnGet(arguments, server.Host(), c.input);
    EXPECT_EQ(run.status, 4) << c.says;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_EQ(FilesIn(dir.File("out")), 0u);
  }
}

// A site's album (its second page answers 404 once), a note (one picture for the signed-in
// visitor alone) and a topic (one picture only as WebP), each with its text file.
TEST(TarnGet, ASitesAlbumANoteAndATopicSavedLargeWithTheirTexts) {
  testing::SampleServerProcess server("--today --photos 3");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  setenv("TARN_SITE_HOST", server.Field("site_host").c_str(), 1);
  TempDir dir;
  const auto run = [&](const std::string& folder, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--pause", "0", "-o", dir.File(folder)});
    return RunTarnGet(arguments, server.Host());
  };
  const auto drawn = [&](int index, const char* size, const char* extension) {
    char name[40];  // the server's cache: l is the drawn photo, xl its enlargement
    std::snprintf(name, sizeof name, "/%s_%04d%s", size, index, extension);
    return ReadAll(server.Cache() + name);
  };
  const Outcome site = run("site", {server.Field("site")});
  EXPECT_EQ(site.status, 0) << site.err;
  EXPECT_EQ(FilesIn(dir.File("site")), 45u + 1u);
  EXPECT_TRUE(ReadAll(dir.File("site/p2000000011.jpg")) == drawn(0, "photo", ".jpg"));
  EXPECT_NE(ReadAll(dir.File("site/site_181427.txt")).find("p2000348447.jpg\t小站照片 45\n"),
            std::string::npos);

  const Outcome note = run("note", {"--cookies", server.Field("cookies"), server.Field("note")});
  EXPECT_EQ(note.status, 0) << note.err;
  std::string listed;
  for (const char* pid :
       {"p2010000017", "p2010007936", "p2010015855", "p2010023774", "p2010031693", "x2010039612"})
    listed += std::string(pid) + ".jpg\t\n";
  EXPECT_EQ(ReadAll(dir.File("note/note_901427427.txt")), "标题：断桥边的一天\n作者：湖畔\n地址：" +
                                                              server.Field("note") +
                                                              "\n照片：6 张\n\n" + listed);
  EXPECT_TRUE(ReadAll(dir.File("note/x2010039612.jpg")) == drawn(15, "photo", ".jpg"));
  EXPECT_EQ(run("signed-out", {"--no-cookies", server.Field("note")}).status, 0);
  EXPECT_EQ(FilesIn(dir.File("signed-out")), 5u + 1u);

  const Outcome topic = run("topic", {"--size", "xl", server.Field("topic")});
  EXPECT_EQ(topic.status, 0) << topic.err;
  EXPECT_EQ(FilesIn(dir.File("topic")), 4u + 1u);  // the comment's picture is none of the post's
  EXPECT_TRUE(ReadAll(dir.File("topic/p2020000029.jpg")) == drawn(30, "today_xl", ".jpg"));
  EXPECT_TRUE(ReadAll(dir.File("topic/p2020007948.webp")) == drawn(31, "today_xl", ".webp"));
  EXPECT_NE(ReadAll(dir.File("topic/topic_314159265.txt")).find("作者：湖畔\n"), std::string::npos);
  unsetenv("TARN_SITE_HOST");
}

// A part of a run that cannot be had costs only itself: the rest is saved, the part is named,
// and the status is one. The person's first album lists nothing on its second page, the
// second sends to the sign-in page, and the star's second page is gone.
TEST(TarnGet, WhatCanBeSavedIsSavedWhenAPartIsLost) {
  testing::SampleServerProcess server("--today --photos 40 --hostile lost-pages");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  TempDir dir;
  const std::vector<std::string> options = {"--cookies", server.Field("cookies"), "--pause", "0"};
  const auto run = [&](const std::string& folder, std::vector<std::string> addresses) {
    addresses.insert(addresses.begin(), {"-o", dir.File(folder)});
    addresses.insert(addresses.begin(), options.begin(), options.end());
    return RunTarnGet(addresses, server.Host());
  };
  const Outcome lost = run("in", {server.Field("person"), server.Field("star")});
  EXPECT_EQ(lost.status, 1) << lost.err;
  EXPECT_EQ(FilesIn(dir.File("in/1681427427 西湖十景 · 湖光小集样例相册")), 18u + 1u);
  EXPECT_EQ(FilesIn(dir.File("in/1681427430 断桥残雪")), 4u + 1u);
  EXPECT_EQ(FilesIn(dir.File("in")), 2u + 30u + 1u);  // two albums' folders, the star's page 1
  for (const char* says : {"相册写着 40 张，只找到 18 张", "相册 1681427429 只给朋友看的西湖",
                           "登录已失效", "第 2 页无法读取", "start=30"})
    EXPECT_NE(lost.err.find(says), std::string::npos) << says << "\n" << lost.err;

  // A folder that cannot be made costs its album alone.
  std::filesystem::create_directories(dir.File("blocked"));
  testing::WriteAll(dir.File("blocked/1681427427 西湖十景 · 湖光小集样例相册"),
                    "a file in the folder's place");
  const Outcome blocked = run("blocked", {server.Field("person")});
  EXPECT_EQ(blocked.status, 1) << blocked.err;
  EXPECT_NE(blocked.err.find("无法创建文件夹"), std::string::npos) << blocked.err;
  EXPECT_EQ(FilesIn(dir.File("blocked/1681427430 断桥残雪")), 4u + 1u);
}

TEST(TarnGet, AnAlbumPageThatCannotBeHadGivesFourAndAFailedPhotoOne) {
  RouteServer server([&](const std::string& target, int) {
    if (target == "/photos/album/1/")
      return RouteReply{200, "photolst_photo <img src=\"" + server.Url("/p/0") +
                                 "\" /> photolst_photo <img src=\"" + server.Url("/p/1") + "\" />"};
    if (target == "/p/0") return RouteReply{200, "photo"};
    return RouteReply{404, "gone"};
  });
  TempDir dir;
  const Outcome page = RunTarnGet({"-q", "-o", dir.path().string(), server.Url("/photos/album/2/"),
                                   server.Url("/photos/album/1/")},
                                  server.Host());
  EXPECT_EQ(page.status, 4);
  EXPECT_TRUE(page.out.empty()) << page.out;  // quiet: errors only
  EXPECT_NE(page.err.find("无法获取相册页面"), std::string::npos) << page.err;
  EXPECT_EQ(FilesIn(dir.path()), 1u);  // the second album still ran

  const Outcome photo =
      RunTarnGet({"-o", dir.path().string(), server.Url("/photos/album/1/")}, server.Host());
  EXPECT_EQ(photo.status, 1);
  EXPECT_NE(photo.err.find("有 1 张照片未能保存"), std::string::npos) << photo.err;
}

TEST(TarnGet, ARefusalStopsTheBatchWithThreeKeepingWhatWasSaved) {
  testing::SampleServerProcess server("--today --photos 8 --refuse-after 4");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  TempDir dir;
  const std::string second = server.AlbumUrl() + "?again";
  const Outcome run = RunTarnGet(
      {"--pause", "50", "-o", dir.path().string(), server.AlbumUrl(), second}, server.Host());
  EXPECT_EQ(run.status, 3) << run.err;
  EXPECT_NE(run.err.find("已保存 3 张照片"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("未开始：" + second), std::string::npos) << run.err;
  EXPECT_EQ(FilesIn(dir.path()), 4u);  // three photos and the album's text, no .part
}

TEST(TarnGet, InterruptStopsAtOnceLeavingOnlyWholePhotos) {
  testing::SampleServerProcess server("--photo-delay-ms 300");
  ASSERT_TRUE(server.Ready());
  TempDir dir;
  bool sent = false;
  const Outcome run = RunTarnGet({"-o", dir.path().string(), server.AlbumUrl()}, server.Host(), "",
                                 [&](const std::string& out, pid_t pid) {
                                   if (!sent && Count(out, "已保存 ") >= 2) {
                                     kill(pid, SIGINT);  // during the third photo's wait
                                     sent = true;
                                   }
                                 });
  EXPECT_EQ(run.status, 130);
  const size_t saved = Count(run.out, "已保存 ");
  EXPECT_GE(saved, 2u);
  EXPECT_LT(saved, 40u);
  EXPECT_EQ(FilesIn(dir.path()), saved);  // the photo under way was removed
  EXPECT_NE(run.err.find("已中断，共保存 " + std::to_string(saved) + " 张照片"), std::string::npos)
      << run.err;
}

// Config.ini's Request_Pause spaces every request of a batch, from one album to the next; a
// second run skips what is saved and says so, and --pause wins over the file.
TEST(TarnGet, ThePauseOfConfigIniSpacesTheWholeBatchAndTheOptionOverridesIt) {
  testing::SampleServerProcess server("--today --photos 2");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  const std::string config = ConfigHome().File("tarn/Config.ini");
  std::filesystem::create_directories(ConfigHome().File("tarn"));
  testing::WriteAll(config, "[Config]\r\nRequest_Pause=250\r\nImage_Pause=100\r\n");
  TempDir dir;
  const Outcome first = RunTarnGet(
      {"-o", dir.path().string(), server.AlbumUrl(), server.AlbumUrl() + "?again"}, server.Host());
  EXPECT_EQ(first.status, 0) << first.err;
  const std::vector<testing::LoggedRequest> log = RequestLog(server);
  // A page, two photos, and the second album's page only: it had them all. Pages keep their
  // pause across the batch, photos theirs.
  ASSERT_EQ(log.size(), 4u);
  EXPECT_GE(log[3].ms - log[0].ms, 250 * 0.75 - 1);
  EXPECT_GE(log[2].ms - log[1].ms, 100 * 0.75 - 1);

  testing::WriteAll(config, "[Config]\r\nRequest_Pause=600000\r\n");  // would hold the test
  const Outcome again =
      RunTarnGet({"--pause", "0", "-o", dir.path().string(), server.AlbumUrl(), server.AlbumUrl()},
                 server.Host());
  std::filesystem::remove(config);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(Count(again.out, "已保存 2/2 张（2 张早已在文件夹中），0.0 MB"), 2u) << again.out;
  EXPECT_EQ(Count(again.out, "\n已保存 "), 0u);
}

std::string Hex(std::string_view bytes) {
  std::string hex;
  for (const char c : bytes) {
    char two[3];
    std::snprintf(two, sizeof two, "%02x", static_cast<unsigned char>(c));
    hex += two;
  }
  return hex;
}

// Each kind of proxy from each place it is named: the album comes whole, the proxy was asked
// as the kind asks, a kept tunnel carries more than one request, and the sign-in went to the
// service inside TLS alone.
TEST(TarnGet, ThroughEachKindOfProxyTheAlbumComesAndTheSignInStaysInsideTheTunnel) {
  testing::SampleServerProcess today("--today --photos 3");
  testing::SampleServerProcess plain("--photos 2");
  ASSERT_TRUE(today.Ready() && plain.Ready());
  setenv("SSL_CERT_FILE", today.CaFile().c_str(), 1);
  testing::ProxyServerProcess http("http", "u", "p w"), socks("socks5", "u@", "p");
  ASSERT_TRUE(http.Port() > 0 && socks.Port() > 0);
  const std::string http_at = "127.0.0.1:" + std::to_string(http.Port());
  const std::string socks_at = "127.0.0.1:" + std::to_string(socks.Port());
  const int number = std::stoi(today.Field("port"));
  const std::string port =
      Hex(std::string{static_cast<char>(number >> 8), static_cast<char>(number & 0xFF)});
  const struct {
    const char* name;
    std::string argument, environment, config;
    testing::ProxyServerProcess& proxy;
    std::string first_line;
  } cases[] = {
      {"connect", "--proxy=http://u:p%20w@" + http_at, "", "", http,
       "CONNECT " + today.Host() + " auth=good"},
      {"socks5", "", "socks5://u%40:p@" + socks_at, "", socks,
       "SOCKS methods=0002 auth=good target=017f000001" + port},
      {"socks5h", "", "http://127.0.0.1:1", "Proxy=socks5h://u%40:p@" + socks_at, socks,
       "SOCKS methods=0002 auth=good target=0309" + Hex("127.0.0.1") + port},
      {"absolute", "--proxy=u:p%20w@" + http_at, "", "", http,
       "GET " + plain.AlbumUrl() + " auth=good"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool secure = c.first_line.find(plain.Host()) == std::string::npos;
    if (!c.environment.empty()) setenv("https_proxy", c.environment.c_str(), 1);
    if (!c.config.empty()) {
      std::filesystem::create_directories(ConfigHome().File("tarn"));
      testing::WriteAll(ConfigHome().File("tarn/Config.ini"), "[Config]\r\n" + c.config + "\r\n");
    }
    TempDir dir;
    std::vector<std::string> arguments = {"--pause", "0", "-o", dir.path().string()};
    if (!c.argument.empty()) arguments.push_back(c.argument);
    if (secure) arguments.insert(arguments.end(), {"--cookies", today.Field("cookies")});
    arguments.push_back(secure ? today.AlbumUrl() : plain.AlbumUrl());
    const Outcome run = RunTarnGet(arguments, secure ? today.Host() : plain.Host());
    unsetenv("https_proxy");
    std::filesystem::remove(ConfigHome().File("tarn/Config.ini"));
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(FilesIn(dir.path()), secure ? 4u : 2u);
    const std::vector<std::string> log = c.proxy.TakeLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), c.first_line);
    EXPECT_EQ(std::count(log.begin(), log.end(), "CLEAR-COOKIE"), 0);
    if (!secure) continue;
    // A page and three photos through fewer tunnels: the kept one was reused.
    EXPECT_EQ(CookiesByHost(today), (std::vector<std::string>{"img", "www with cookies"}));
    EXPECT_LT(log.size(), 4u);
  }
}

// A proxy that cannot be used ends the album with four, names itself without its password,
// and nothing goes around it; no_proxy does go around it. A password SOCKS5 refuses is tested
// with the client alone.
TEST(TarnGet, AProxyThatFailsIsNamedAndNeverBypassedUnlessNoProxySaysSo) {
  testing::SampleServerProcess server("--today --photos 2");
  ASSERT_TRUE(server.Ready());
  setenv("SSL_CERT_FILE", server.CaFile().c_str(), 1);
  testing::ProxyServerProcess http("http", "u", "p");
  const std::string down = "127.0.0.1:" + std::to_string(net::testing::ClosedLoopbackPort());
  const std::string http_at = "127.0.0.1:" + std::to_string(http.Port());
  const struct {
    std::vector<std::string> arguments;
    const char* no_proxy;
    int status;
    std::string message;
  } cases[] = {
      {{}, "localhost,.127.0.0.1", 0, ""},
      {{"--proxy", "http://u:SeCrEt@" + http_at},
       "",
       4,
       "代理 " + http_at + " 要求身份验证或密码错误 (407)"},
      {{}, "", 4, "无法连接代理 " + down},
      {{"--proxy", "socks4://u:SeCrEt@" + http_at}, "", 2, "不支持 socks4:// 代理"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    setenv("https_proxy", ("http://u:SeCrEt@" + down).c_str(), 1);
    setenv("no_proxy", c.no_proxy, 1);
    TempDir dir;
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(),
                     {"--pause", "0", "-o", dir.path().string(), server.AlbumUrl()});
    const Outcome run = RunTarnGet(arguments, server.Host());
    unsetenv("https_proxy");
    unsetenv("no_proxy");
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ((run.out + run.err).find("SeCrEt"), std::string::npos);
    EXPECT_EQ(RequestLog(server).empty(), c.status != 0);
    net::HttpClient().FetchText(server.Base() + "/stats/reset");
  }
}

TEST(TarnGet, AnOutputNobodyReadsNeverHoldsUpTheRun) {
  testing::SampleServerProcess server("--photos 120 --per-page 120");
  ASSERT_TRUE(server.Ready());
  TempDir dir;
  const Outcome run =
      RunTarnGet({"-o", dir.path().string(), server.AlbumUrl()}, server.Host(), "", {}, false);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(FilesIn(dir.path()), 120u);
}

}  // namespace
}  // namespace tarn
