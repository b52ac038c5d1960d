// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <stop_token>

#include "cli/options.h"
#include "cli/progress.h"

namespace tarn::cli {

// Saves the albums one after another as the window would, each its own run, and gives the
// exit status. A stop breaks off the fetch under way; no partial photo stays.
int RunAlbums(const Options& options, ProgressStyle style, std::stop_token stop, std::FILE* out,
              std::FILE* err);

}  // namespace tarn::cli
