// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tarn::fuzz {

// Ends the run with a crash report when something that must hold does not, so that libFuzzer
// keeps the input that broke it.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

}  // namespace tarn::fuzz
