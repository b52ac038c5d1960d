// SPDX-License-Identifier: MIT
#pragma once

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

}  // namespace tarn
