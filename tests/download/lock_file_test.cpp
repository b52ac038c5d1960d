// SPDX-License-Identifier: MIT
// The claim on a folder whose file system takes no lock: a file only one run can make.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "download/lock_file_posix.h"
#include "support/temp_dir.h"

namespace tarn {
namespace {

std::string ThisHost() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

TEST(LockFile, OneRunHoldsItAndOnlyAGoneRunOfThisHostLetsItGo) {
  // Far above any process id the kernel gives out.
  const std::string gone = "999999999@" + ThisHost();
  const struct {
    const char* why;
    std::string left;  // what the file holds before; nothing: there is none
    LockFile want;
  } cases[] = {
      {"no file", {}, LockFile::kTaken},
      {"a live run of this host", std::to_string(getppid()) + "@" + ThisHost(), LockFile::kBusy},
      {"a run of this host that is gone", gone, LockFile::kTaken},
      {"a run of another host", "999999999@another-host", LockFile::kBusy},
      {"not a run's", "junk", LockFile::kBusy},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    testing::TempDir dir;
    const std::string path = dir.File(".tarn-lock");
    if (!c.left.empty()) testing::WriteAll(path, c.left);
    EXPECT_EQ(TakeLockFile(path), c.want);
    if (c.want == LockFile::kTaken) {
      EXPECT_EQ(testing::ReadAll(path), std::to_string(getpid()) + "@" + ThisHost());
      EXPECT_EQ(TakeLockFile(path), LockFile::kBusy);  // the next run finds this one alive
    }
  }
  // Never through a link: one left where the file goes is no claim to follow.
  testing::TempDir dir;
  std::filesystem::create_symlink(dir.File("elsewhere"), dir.File(".tarn-lock"));
  EXPECT_NE(TakeLockFile(dir.File(".tarn-lock")), LockFile::kTaken);
  EXPECT_FALSE(std::filesystem::exists(dir.File("elsewhere")));
}

}  // namespace
}  // namespace tarn
