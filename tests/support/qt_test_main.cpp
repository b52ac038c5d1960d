// SPDX-License-Identifier: MIT
// GUI tests run inside the program's own application object, on the offscreen platform (on
// Windows, which has none, on the system's own in a virtual display).
#include <gtest/gtest.h>

#include <QtGlobal>

#include "app/application.h"

int main(int argc, char** argv) {
#ifndef _WIN32
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  ::testing::InitGoogleTest(&argc, argv);
  tarn::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
