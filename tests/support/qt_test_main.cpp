// SPDX-License-Identifier: MIT
// GUI tests run inside the program's own application object, on the offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/application.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  tarn::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
