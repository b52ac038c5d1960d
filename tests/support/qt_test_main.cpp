// SPDX-License-Identifier: MIT
// GUI tests run inside the program's own application object, on the offscreen platform.
#include <gtest/gtest.h>

#include <QtGlobal>

#include "app/application.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  tarn::TApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
