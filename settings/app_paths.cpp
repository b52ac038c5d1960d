// SPDX-License-Identifier: MIT
#include "settings/app_paths.h"

namespace tarn {
namespace {
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif
}  // namespace

std::string ExtractAppDir(std::string_view exe_path) {
  const size_t pos = exe_path.find_last_of("\\:/");
  if (pos == std::string_view::npos) return {};
  const bool drive_root = exe_path[pos] == '\\' && pos > 0 && exe_path[pos - 1] == ':';
  const bool posix_root = exe_path[pos] == '/' && pos == 0;
  return std::string(exe_path.substr(0, drive_root || posix_root ? pos + 1 : pos));
}

std::string SettingsPath(std::string_view app_dir) {
  return std::string(app_dir) + kSeparator + "Config.ini";
}

}  // namespace tarn
