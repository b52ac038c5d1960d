// SPDX-License-Identifier: MIT
#include "settings/sign_in_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace tarn {
namespace {

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 0777;
}

TEST(SignInFile, MadeForItsOwnerAloneAndRemovedAtSignOut) {
  testing::TempDir dir;
  const std::string path = dir.File("config/tarn/cookies.txt");
  const mode_t umask_before = ::umask(0);
  // A temporary left by a killed save, readable by all: the sign-in never lands in it as it is.
  std::filesystem::create_directories(dir.File("config/tarn"));
  testing::WriteAll(path + "." + std::to_string(::getpid()) + ".tmp", "old");
  ::chmod((path + "." + std::to_string(::getpid()) + ".tmp").c_str(), 0644);
  const std::vector<net::UserCookie> cookies = {
      {".douban.com", true, "/", true, 0, "dbcl2", "\"1:s\"", true}};
  SaveSignIn(path, cookies);
  ::umask(umask_before);
  EXPECT_EQ(ModeOf(path), 0600u);
  ::setenv("TARN_PHOTO_HOST", "www.douban.com", 1);
  std::optional<SavedSignIn> saved = LoadSignIn(path);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->cookies, cookies);
  EXPECT_FALSE(saved->others_may_read);

  ::chmod(path.c_str(), 0640);
  EXPECT_TRUE(LoadSignIn(path)->others_may_read);
  EXPECT_EQ(LoadSignIn(path)->cookies, cookies);  // used all the same

  RemoveSignIn(path);
  EXPECT_FALSE(LoadSignIn(path).has_value());
  RemoveSignIn(path);  // signed out already: nothing to do
  ::unsetenv("TARN_PHOTO_HOST");
}

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
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ::setenv("TARN_PHOTO_HOST", c.photo_host, 1);
    const net::CookieImport import = ReadUserCookies(c.text);
    std::string domains;
    for (const net::UserCookie& cookie : import.cookies) domains += cookie.domain + " ";
    EXPECT_EQ(domains + std::to_string(import.foreign), c.domains);
  }
  ::unsetenv("TARN_PHOTO_HOST");
}

TEST(SignInFile, OriginsAreThePhotoAndFilmHostsOverHttps) {
  ::setenv("TARN_MOVIE_HOST", "movie.example", 1);
  const net::ServiceOrigin film = ServiceSignIn({}).origins.at(1);
  EXPECT_EQ(film.host + ":" + std::to_string(film.port), "movie.example:443");
  ::unsetenv("TARN_MOVIE_HOST");
}

}  // namespace
}  // namespace tarn
