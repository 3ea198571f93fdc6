// Helpers of the Qt backend tests.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include "platform/gui.h"
#include "platform/gui_qt_internal.h"

namespace qt_test {

template <class T>
T* As(int handle) {
  return dynamic_cast<T*>(gui_qt::Widget(handle));
}

// Takes every pending event, so that a test sees only its own.
inline void Drain() {
  while (gui::PollEvent().kind != gui::kEventNone) {
  }
}

inline bool SameEvent(const gui::Event& e, int kind, int gadget, int type, int window) {
  return e.kind == kind && e.gadget == gadget && e.type == type && e.window == window;
}

// A window of the main window's size that each test gets fresh.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = gui::OpenWindow("TestWindow", 0, 0, 800, 600, TXT("Test"), gui::kWindowCentered);
    ASSERT_NE(window_, 0);
    Drain();
  }
  void TearDown() override {
    gui::CloseWindow(window_);
    Drain();
  }
  int window_ = 0;
};

}  // namespace qt_test
