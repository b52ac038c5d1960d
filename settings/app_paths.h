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

// `<config_home>/tarn/Config.ini` (`<home>/.config` when config_home is unset or not
// absolute): the user's own settings file; empty when neither folder is known.
std::string UserSettingsPath(const char* config_home, const char* home);

// Where the settings file lives. Beside the program when that folder takes new files (a save
// writes the new file beside the old one) or is missing; otherwise `<config_home>/tarn/Config.ini`,
// with
// `<home>/.config` when config_home is unset or not absolute, the folder made when needed.
// A file left beside the program is copied there first, so that its settings carry over.
// Beside the program also when no such folder can be had: the first save then says why.
std::string ChooseSettingsPath(
    std::string_view app_dir, const char* config_home, const char* home,
    const std::function<bool(const std::string&)>& takes_new_files = FolderTakesNewFiles);

}  // namespace tarn
