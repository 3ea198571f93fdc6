// Qt backend: PollEvent lets Qt process its events at most once per screen
// frame and otherwise returns at once; the program's own queued events are
// handed out at any time.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>
#include <thread>

#include "qt/qt_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;
const auto kFrame = std::chrono::milliseconds(gui_qt::kPollIntervalMs);

// Counts the posted events Qt has delivered to it.
class Receiver : public QObject {
 public:
  int delivered = 0;
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    ++delivered;
    return true;
  }
};

class QtPollThrottle : public qt_test::WindowTest {};

TEST_F(QtPollThrottle, ProcessesQtEventsOncePerFrame) {
  Receiver receiver;
  std::this_thread::sleep_for(kFrame + std::chrono::milliseconds(4));
  QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  const auto processed = Clock::now();
  EXPECT_EQ(receiver.delivered, 1) << "a frame had passed, so Qt's events were processed";

  QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  if (Clock::now() - processed < kFrame) {
    EXPECT_EQ(receiver.delivered, 1) << "within the frame PollEvent returns at once";
  }
  std::this_thread::sleep_for(kFrame + std::chrono::milliseconds(4));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  EXPECT_EQ(receiver.delivered, 2);
  QCoreApplication::removePostedEvents(&receiver);
}

TEST_F(QtPollThrottle, BusyCallersGetOneProcessingPerFrame) {
  Receiver receiver;
  int rounds = 0;
  long calls = 0;
  const auto start = Clock::now();
  QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
  while (Clock::now() - start < std::chrono::milliseconds(120)) {
    const int before = receiver.delivered;
    gui::PollEvent();
    ++calls;
    if (receiver.delivered != before) {
      ++rounds;
      QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    }
  }
  const auto elapsed = Clock::now() - start;
  QCoreApplication::removePostedEvents(&receiver);
  EXPECT_GE(rounds, 2);
  EXPECT_LE(rounds, elapsed / kFrame + 1) << calls << " calls";
  EXPECT_GT(calls, 10 * rounds);
}

TEST_F(QtPollThrottle, QueuedEventsOfTheProgramComeAtOnce) {
  const int button = gui::CreateButton("Button", 10, 10, 80, 20, TXT("Press"), false);
  std::this_thread::sleep_for(kFrame + std::chrono::milliseconds(4));
  gui::PollEvent();  // Qt's events processed just now
  gui_qt::Push(button, gui::kLeftClick);
  gui_qt::Push(button, gui::kRightClick);
  EXPECT_TRUE(qt_test::SameEvent(gui::PollEvent(), gui::kEventGadget, button, gui::kLeftClick, window_));
  EXPECT_TRUE(qt_test::SameEvent(gui::PollEvent(), gui::kEventGadget, button, gui::kRightClick, window_));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

}  // namespace
