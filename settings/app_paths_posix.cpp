// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/safe_replace.h"
#include "settings/app_paths.h"

namespace tarn {
namespace {

// The user's settings are the user's alone: others may not even list them.
constexpr mode_t kOwnerOnly = 0700;

}  // namespace

void MakeSettingsFolder(const std::string& folder) {
  std::filesystem::path made;
  int error = 0;
  for (const std::filesystem::path& part : std::filesystem::path(folder)) {
    made /= part;
    // mkdir applies the umask, which may only take bits away from these.
    if (::mkdir(made.c_str(), kOwnerOnly) != 0 && errno != EEXIST) {
      error = errno;
      break;
    }
  }
  struct stat status {};
  if (error == 0 && ::stat(folder.c_str(), &status) != 0) error = errno;
  if (error == 0 && !S_ISDIR(status.st_mode)) error = ENOTDIR;
  if (error != 0) throw FileError("无法创建设置文件夹：" + folder + "\n" + std::strerror(error));
}

bool FolderTakesNewFiles(const std::string& folder) {
  const std::string probe = (std::filesystem::path(folder.empty() ? "." : folder) /
                             (".Config.ini." + std::to_string(getpid()) + ".probe"))
                                .string();
  const int descriptor =
      open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  close(descriptor);
  unlink(probe.c_str());
  return true;
}

ConfigEnvironment ReadConfigEnvironment() {
  return {std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")};
}

}  // namespace tarn
