// Runner of the Qt backend tests: the application comes from gui::Init, as in
// the program. Without a display the tests use Qt's offscreen platform.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gui.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  gui::Init(argc, argv);
  const int result = RUN_ALL_TESTS();
  gui::Shutdown();
  return result;
}
