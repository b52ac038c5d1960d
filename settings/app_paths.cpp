// SPDX-License-Identifier: MIT
#include "settings/app_paths.h"

#include <filesystem>

#include "base/file_path.h"

namespace tarn {
namespace {
constexpr const char* kFileName = "Config.ini";
constexpr const char* kOwnFolder = "tarn";

// The user's configuration folder, or empty when the environment names none.
std::filesystem::path ConfigHome(const char* config_home, const char* home) {
  // The base directory rules ignore a relative XDG_CONFIG_HOME.
  if (config_home != nullptr && PathFromUtf8(config_home).is_absolute()) {
    return PathFromUtf8(config_home);
  }
  if (home != nullptr && home[0] != '\0') return PathFromUtf8(home) / ".config";
  return {};
}

}  // namespace

std::string ExtractAppDir(std::string_view exe_path) {
  const size_t pos = exe_path.find_last_of("\\:/");
  if (pos == std::string_view::npos) return {};
  const bool drive_root = exe_path[pos] == '\\' && pos > 0 && exe_path[pos - 1] == ':';
  const bool posix_root = exe_path[pos] == '/' && pos == 0;
  return std::string(exe_path.substr(0, drive_root || posix_root ? pos + 1 : pos));
}

std::string SettingsPath(std::string_view app_dir) {
  return std::string(app_dir) + kPathDelimiter + kFileName;
}

std::string UserSettingsPath(const char* config_home, const char* home) {
  const std::filesystem::path base = ConfigHome(config_home, home);
  return base.empty() ? std::string() : Utf8FromPath(base / kOwnFolder / kFileName);
}

std::string ChooseSettingsPath(std::string_view app_dir, const char* config_home, const char* home,
                               const std::function<bool(const std::string&)>& takes_new_files) {
  const std::string beside = SettingsPath(app_dir);
  std::error_code error;
  // A missing folder is no install to work around: the save says what is wrong.
  if (!std::filesystem::is_directory(PathFromUtf8(app_dir), error) ||
      takes_new_files(std::string(app_dir))) {
    return beside;
  }
  const std::string own_path = UserSettingsPath(config_home, home);
  if (own_path.empty()) return beside;
  const std::filesystem::path own = PathFromUtf8(own_path);
  MakeSettingsFolder(Utf8FromPath(own.parent_path()));
  // Copied once, never over settings the user has saved since.
  std::filesystem::copy_file(PathFromUtf8(beside), own,
                             std::filesystem::copy_options::skip_existing, error);
  return own_path;
}

}  // namespace tarn
