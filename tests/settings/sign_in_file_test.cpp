// SPDX-License-Identifier: MIT
#include "settings/sign_in_file.h"

#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>

#include "base/safe_replace.h"
#include "settings/user_settings.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

// Windows has no mode bits: there the sign-in lies in the user's own folder.
#ifndef _WIN32
mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 0777;
}
#endif

TEST(SignInFile, MadeForItsOwnerAloneAndRemovedAtSignOut) {
  testing::TempDir dir;
  const std::string path = dir.File("config/tarn/cookies.txt");
#ifndef _WIN32
  const mode_t umask_before = ::umask(0);
#endif
  // A temporary left by a killed save, readable by all: the sign-in never lands in it as it is.
  std::filesystem::create_directories(dir.File("config/tarn"));
  testing::WriteAll(path + "." + std::to_string(::getpid()) + ".tmp", "old");
#ifndef _WIN32
  ::chmod((path + "." + std::to_string(::getpid()) + ".tmp").c_str(), 0644);
#endif
  const std::vector<net::UserCookie> cookies = {
      {".douban.com", true, "/", true, 0, "dbcl2", "\"1:s\"", true}};
  SaveSignIn(path, cookies);
#ifndef _WIN32
  ::umask(umask_before);
  EXPECT_EQ(ModeOf(path), 0600u);
#endif
  testing::SetTestEnvironment("TARN_PHOTO_HOST", "www.douban.com");
  std::optional<SavedSignIn> saved = LoadSignIn(path);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->cookies, cookies);
  EXPECT_FALSE(saved->others_may_read);

#ifndef _WIN32
  ::chmod(path.c_str(), 0640);
  EXPECT_TRUE(LoadSignIn(path)->others_may_read);
  EXPECT_EQ(LoadSignIn(path)->cookies, cookies);  // used all the same
#endif

  RemoveSignIn(path);
  EXPECT_FALSE(LoadSignIn(path).has_value());
  RemoveSignIn(path);  // signed out already: nothing to do
  testing::UnsetTestEnvironment("TARN_PHOTO_HOST");
}

#ifndef _WIN32
// Under an open umask, over a file others read or a link to one, each save is a new file for
// its owner alone, in folders for its owner alone; the settings beside it are the owner's to
// write.
TEST(SignInFile, EachSaveIsANewPrivateFileInPrivateFolders) {
  testing::TempDir dir;
  const std::string path = dir.File("config/tarn/cookies.txt");
  const std::string other = dir.File("shared.txt");
  const struct {
    const char* before;
    bool file, link;
  } cases[] = {{"nothing", false, false}, {"a file", true, false}, {"a link", true, true}};
  const mode_t umask_before = ::umask(0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    if (c.link) std::filesystem::remove(path);
    if (c.file) testing::WriteAll(c.link ? other : path, "old");
    if (c.file) ::chmod((c.link ? other : path).c_str(), 0644);
    if (c.link) std::filesystem::create_symlink(other, path);
    SaveSignIn(path, {{".douban.com", true, "/", true, 0, "dbcl2", "1:s"}});
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(ModeOf(dir.File("config")) | ModeOf(dir.File("config/tarn")), 0700u);
  }
  SaveUserSettings(dir.File("config/tarn/Config.ini"), "/photos", 1);
  ::umask(umask_before);
  EXPECT_EQ(ModeOf(dir.File("config/tarn/Config.ini")), 0644u);
  EXPECT_EQ(testing::ReadAll(other), "old");
}

// Nothing at the name that is no file holds up a load, nor is a huge file read as a sign-in.
TEST(SignInFile, WhatIsNoFileIsRefusedAndAHugeOneIsNoSignIn) {
  testing::TempDir dir;
  const std::string path = dir.File("cookies.txt");
  testing::WriteAll(dir.File("real"), "dbcl2=1");
  const std::function<void()> make[] = {
      [&] { ::mkfifo(path.c_str(), 0600); },
      [&] { std::filesystem::create_symlink(dir.File("real"), path); },
      [&] {
        testing::WriteAll(path, "dbcl2=1;");
        std::filesystem::resize_file(path, 100 << 20);
      },
  };
  for (size_t i = 0; i < std::size(make); ++i) {
    SCOPED_TRACE(i);
    std::filesystem::remove(path);
    make[i]();
    try {
      EXPECT_FALSE(LoadSignIn(path)->unusable.empty());
      EXPECT_EQ(i, 2u);
    } catch (const FileError& error) {
      EXPECT_NE(i, 2u);
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
}
#endif

TEST(SignInFile, TheUsersTextKeepsTheServicesCookies) {
  const struct {
    const char* photo_host;
    const char* text;
    const char* domains;  // of the cookies taken, then how many were foreign
  } cases[] = {
      {"www.douban.com", "bid=1", ".douban.com 0"},
      {"127.0.0.1:8443", "bid=1", "127.0.0.1 0"},
      {"localhost:8443", "bid=1", "localhost 0"},
      {"www.douban.com",
       ".douban.com\tTRUE\t/\tFALSE\t0\tbid\t1\n"
       "accounts.douban.com\tFALSE\t/\tFALSE\t0\ta\t1\n"
       ".google.com\tTRUE\t/\tFALSE\t0\tSID\t1\n"
       "movie.douban.com\tFALSE\t/\tFALSE\t0\tm\t1\n",
       ".douban.com movie.douban.com 2"},
      {"www.douban.com",
       ".com\tTRUE\t/\tFALSE\t0\ta\t1\ncom\tTRUE\t/\tFALSE\t0\tb\t1\n"
       "douban.com\tTRUE\t/\tFALSE\t0\tc\t1\n",
       "douban.com 2"},
      {"127.0.0.1:8443",
       ".0.0.1\tTRUE\t/\tFALSE\t0\ta\t1\n0.0.1\tTRUE\t/\tFALSE\t0\tb\t1\n"
       ".1\tTRUE\t/\tFALSE\t0\tc\t1\n127.0.0.1\tFALSE\t/\tFALSE\t0\td\t1\n",
       "127.0.0.1 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    testing::SetTestEnvironment("TARN_PHOTO_HOST", c.photo_host);
    const net::CookieImport import = ReadUserCookies(c.text);
    std::string domains;
    for (const net::UserCookie& cookie : import.cookies) domains += cookie.domain + " ";
    EXPECT_EQ(domains + std::to_string(import.foreign), c.domains);
  }
  testing::UnsetTestEnvironment("TARN_PHOTO_HOST");
}

TEST(SignInFile, OriginsAreThePhotoAndFilmHostsOverHttps) {
  testing::SetTestEnvironment("TARN_MOVIE_HOST", "movie.example");
  const net::ServiceOrigin film = ServiceSignIn({}).origins.at(1);
  EXPECT_EQ(film.host + ":" + std::to_string(film.port), "movie.example:443");
  testing::UnsetTestEnvironment("TARN_MOVIE_HOST");
}

}  // namespace
}  // namespace tarn
