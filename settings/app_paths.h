// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

// The directory part of an executable's full path, cut before its last delimiter ("\", ":"
// or "/"). The delimiter is dropped unless it is the root's own: "C:\" after a drive colon,
// or "/" for the file system root, so only a root directory ends in a delimiter.
std::string ExtractAppDir(std::string_view exe_path);

// AppDir followed by the settings file's name, passed on unchanged (two delimiters in a row
// when AppDir is a root).
std::string SettingsPath(std::string_view app_dir);

// Whether a new file can be made in the folder (probed by making one).
bool FolderTakesNewFiles(const std::string& folder);

// Makes the user's settings folder and the folders above it that are missing, each open to its
// owner alone whatever the umask, as the base directory rules ask of the configuration folder.
// FileError naming the folder when it cannot be had.
void MakeSettingsFolder(const std::string& folder);

// `<config_home>/tarn/Config.ini` (`<home>/.config` when config_home is unset or not
// absolute): the user's own settings file; empty when neither folder is known.
std::string UserSettingsPath(const char* config_home, const char* home);

// The environment's config_home and home for the two functions around: XDG_CONFIG_HOME and
// HOME; on Windows APPDATA (so `%APPDATA%\tarn\Config.ini`) and no home.
struct ConfigEnvironment {
  const char* config_home;
  const char* home;
};
ConfigEnvironment ReadConfigEnvironment();

// Where the settings file lives. Beside the program when that folder takes new files (a save
// writes the new file beside the old one) or is missing; otherwise `<config_home>/tarn/Config.ini`,
// with `<home>/.config` when config_home is unset or not absolute, the folder made when needed
// (FileError naming it when it cannot be). A file left beside the program is copied there
// first, so that its settings carry over. Beside the program when the environment names no
// such folder: the first save then says why.
std::string ChooseSettingsPath(
    std::string_view app_dir, const char* config_home, const char* home,
    const std::function<bool(const std::string&)>& takes_new_files = FolderTakesNewFiles);

}  // namespace tarn
