// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace tarn {

// What claiming a folder through a lock file came to.
enum class LockFile {
  kTaken,   // the file is ours now, holding "<pid>@<host>"; remove it to let the claim go
  kBusy,    // a live run holds it (or one of another host, which cannot be asked)
  kFailed,  // the file cannot be made: making the first photo there says why
};

// Makes `path` only when it is not there (never through a link). One left by a run of this
// host that is gone is taken over.
LockFile TakeLockFile(const std::string& path);

}  // namespace tarn
