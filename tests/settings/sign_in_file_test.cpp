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
// Whatever stood at the name, the new sign-in is a file of its own for its owner alone.
TEST(SignInFile, SavingMakesANewPrivateFileInPlaceOfWhateverStoodThere) {
  testing::TempDir dir;
  const std::string path = dir.File("tarn/cookies.txt");
  const std::string other = dir.File("shared.txt");
  const std::vector<net::UserCookie> cookies = {
      {".douban.com", true, "/", true, 0, "dbcl2", "1:s"}};
  for (const bool link : {false, true}) {
    SCOPED_TRACE(link ? "a link to a file others read" : "a file others read");
    std::filesystem::create_directories(dir.File("tarn"));
    std::filesystem::remove(path);
    testing::WriteAll(link ? other : path, "old");
    ::chmod((link ? other : path).c_str(), 0644);
    if (link) std::filesystem::create_symlink(other, path);
    SaveSignIn(path, cookies);
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(testing::ReadAll(link ? other : path) == "old", link);
  }
}

// Under umask 000 the folders the program makes, and its files, are still its user's.
TEST(SignInFile, FoldersAndFilesMadeUnderAnOpenUmaskStayTheUsers) {
  testing::TempDir dir;
  const mode_t umask_before = ::umask(0);
  SaveSignIn(dir.File("config/tarn/cookies.txt"),
             {{"127.0.0.1", false, "/", true, 0, "dbcl2", "1"}});
  SaveUserSettings(dir.File("config/tarn/Config.ini"), "/photos", 1);
  ::umask(umask_before);
  EXPECT_EQ(ModeOf(dir.File("config")), 0700u);
  EXPECT_EQ(ModeOf(dir.File("config/tarn")), 0700u);
  EXPECT_EQ(ModeOf(dir.File("config/tarn/Config.ini")), 0644u);
}

// No file that is no sign-in holds up a load; one that signs nobody in says why.
TEST(SignInFile, AFileThatIsNoSignInIsRefusedOrSaidToBeUnusable) {
  testing::TempDir dir;
  testing::SetTestEnvironment("TARN_PHOTO_HOST", "www.douban.com");
  const std::string path = dir.File("cookies.txt");
  const struct {
    const char* name;
    std::function<void()> make;
    bool refused;  // a FileError; else loaded but unusable
  } cases[] = {
      {"fifo", [&] { ::mkfifo(path.c_str(), 0600); }, true},
      {"folder", [&] { std::filesystem::create_directory(path); }, true},
      {"link", [&] { std::filesystem::create_symlink(dir.File("real"), path); }, true},
      {"empty", [&] { testing::WriteAll(path, ""); }, false},
      {"junk", [&] { testing::WriteAll(path, "hello"); }, false},
      {"no dbcl2", [&] { testing::WriteAll(path, "bid=1; ck=2"); }, false},
      {"100 MB",
       [&] {
         testing::WriteAll(path, "dbcl2=1;");
         std::filesystem::resize_file(path, 100 << 20);
       },
       false},
  };
  testing::WriteAll(dir.File("real"), "dbcl2=1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(path);
    c.make();
    try {
      const std::optional<SavedSignIn> saved = LoadSignIn(path);
      ASSERT_TRUE(saved.has_value());
      EXPECT_FALSE(c.refused);
      EXPECT_TRUE(saved->cookies.empty());
      EXPECT_FALSE(saved->unusable.empty());
    } catch (const FileError& error) {
      EXPECT_TRUE(c.refused) << error.what();
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
  testing::UnsetTestEnvironment("TARN_PHOTO_HOST");
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
