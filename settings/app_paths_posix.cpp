// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "settings/app_paths.h"

namespace tarn {

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
