// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "base/exception.h"

namespace tarn {

// A file that could not be made, written, brought to the disk or renamed; the message names
// the file and the system's reason.
class FileError : public Exception {
 public:
  using Exception::Exception;
};

// What a finished file does to one already at its final name.
enum class OnExisting {
  kReplace,  // the old file goes in the same step
  kKeep,     // the old file stays and the finished one is dropped
};

// Brings a finished temporary file to the disk and gives it its final name, then makes the
// rename itself durable, so a crash at any moment leaves the old file or the new one whole.
// Returns false only for kKeep when a file stood at `final_path` (the temporary is removed).
// Raises FileError, with the temporary removed, when any step fails. `synced`: the caller has
// brought the temporary to the disk through its own open file, so it is not opened again.
bool CommitFile(const std::string& temporary, const std::string& final_path, OnExisting mode,
                bool synced = false);

// Writes `data` into a temporary file beside `path` (never through a link placed at its name),
// with the old file's permissions, and commits it over `path`. A new file gets
// `new_file_mode` less the umask, from its first byte on.
void ReplaceFileContents(const std::string& path, std::string_view data,
                         unsigned new_file_mode = 0666);

// Writes `data` as a new file that its owner alone may read and write, whatever the umask, and
// commits it over `path`: what stood there, a link included, is replaced, never followed, and
// lends the new file nothing of its permissions.
void ReplaceWithPrivateFile(const std::string& path, std::string_view data);

}  // namespace tarn
