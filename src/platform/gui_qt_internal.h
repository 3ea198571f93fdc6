// Shared state of the Qt backend (gui_qt.cpp, gui_qt_tree.cpp) and the few
// helpers its tests reach. Not for the program's logic: it sees only gui.h.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTreeWidgetItem>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui.h"

class QApplication;
class QTimer;
class QTreeWidget;

namespace gui_qt {

enum Kind : int {
  kKindNone = 0,
  kKindWindow,
  kKindPanel,
  kKindCheckList,
  kKindIconList,
  kKindTree,
  kKindCheckBox,
  kKindButton,
  kKindCombo,
  kKindText,
  kKindPicture,
};

// A row of a check-box list or an item of a tree. The fields spare a model
// lookup on every call: level and colour as the program set them, the tick
// last seen (to tell a user's toggle from other item changes) and the flat
// index, valid below TreeData::fresh.
struct Item : QTreeWidgetItem {
  Item() : QTreeWidgetItem(QTreeWidgetItem::UserType) {}
  int level = 0;
  int colour = gui::kDefaultColour;
  int flatIndex = 0;
  bool ticked = false;
};

// Items of a tree in flat display order. Items from fresh on may carry a stale
// flatIndex; they are renumbered when an index is next asked for, so a run of
// inserts costs one renumbering, and appends none.
struct TreeData {
  std::vector<Item*> flat;
  size_t fresh = 0;
  bool labelEditing = false;
  bool dropTarget = false;
  int batchDepth = 0;  // open BeginTreeBatch calls
};

struct Record {
  int kind = kKindNone;
  QPointer<QWidget> widget;
  std::string name;
  int window = 0;
  gui::LabelEditCallback labelEdit = nullptr;  // windows
  QPointer<QWidget> page;                      // panels: the tab being filled
  int picture = 0;                             // picture boxes
  std::unique_ptr<TreeData> tree;              // trees
};

struct QueuedEvent {
  gui::Event event;
  int dropKind = gui::kDropNone;
  Text dropText;
  int dropAction = gui::kDragNone;
};

struct DragState {
  bool running = false;          // inside StartTextDrag
  int action = gui::kDragNone;   // what the place under the pointer would take
  QPointer<QWidget> source;      // tree whose item was dragged
};

// PollEvent lets Qt process its events at most once per this many
// milliseconds (one screen frame) and otherwise returns at once, so that long
// work calling it per item costs nothing between frames.
constexpr int kPollIntervalMs = 16;

// Marks the frames for PollEvent: a thread of its own raises a flag once
// kPollIntervalMs have passed since Qt last processed its events, so a call
// within the frame costs one load instead of a clock reading (which, once
// per line of a large page, would cost more than the rest of the line's
// work). The thread sleeps while the flag is up.
class FrameTicker {
 public:
  FrameTicker() = default;
  FrameTicker(const FrameTicker&) = delete;
  FrameTicker& operator=(const FrameTicker&) = delete;
  ~FrameTicker() { Stop(); }

  void Start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (thread_.joinable()) return;
    stop_ = false;
    due_.store(true, std::memory_order_relaxed);
    // The thread counts restarts from now on, however late it begins.
    thread_ = std::thread([this, seen = restarts_] { Run(seen); });
  }
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  // True, once, when a frame has passed since the last Restart.
  bool TakeFrame() {
    if (!due_.load(std::memory_order_relaxed)) return false;
    due_.store(false, std::memory_order_relaxed);
    return true;
  }
  // Qt has just processed its events: the next frame counts from now on.
  void Restart() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      due_.store(false, std::memory_order_relaxed);
      ++restarts_;
    }
    wake_.notify_all();
  }

 private:
  void Run(uint64_t seen) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      // The flag is up: nothing to do until the frame is taken.
      wake_.wait(lock, [&] { return stop_ || restarts_ != seen; });
      // Each restart begins the frame anew.
      do {
        if (stop_) return;
        seen = restarts_;
      } while (wake_.wait_for(lock, std::chrono::milliseconds(kPollIntervalMs),
                              [&] { return stop_ || restarts_ != seen; }));
      due_.store(true, std::memory_order_relaxed);
    }
  }

  std::atomic<bool> due_{true};
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  uint64_t restarts_ = 0;
  bool stop_ = false;
};

struct State {
  QApplication* app = nullptr;
  bool ownsApp = false;
  int argc = 0;
  std::vector<char*> argv;
  std::vector<Record> records;  // indexed by handle; 0 stays empty
  int currentWindow = 0;
  std::vector<int> openPanels;
  std::deque<QueuedEvent> queue;
  QueuedEvent lastTaken;
  std::vector<QPixmap> pictures;
  int quiet = 0;          // >0 while the backend itself changes gadgets
  int callbackDepth = 0;  // >0 while the program's callback runs inside Qt
  gui::DragCallback dragCallback = nullptr;
  DragState drag;
  // Whether a frame has begun since Qt last processed its events.
  FrameTicker frames;
};

State& S();

// Record of a live handle of the wanted kind (kKindNone: any), else nullptr.
Record* Find(int handle, int kind = kKindNone);
void Push(int gadget, int type);
void PushDrop(int gadget, const Text& text, int action);

// Suppresses the notifications that the backend's own changes would raise.
struct Quiet {
  Quiet() { ++S().quiet; }
  ~Quiet() { --S().quiet; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;
};

// ---- text -------------------------------------------------------------------
QString ToQString(const Text& text);
Text FromQString(const QString& text);
// Message text: CR LF and a lone CR become line breaks.
QString MessageToQString(const Text& text);
// Label of a button, check box or tab: "&" shows as itself, not as a shortcut.
QString LabelToQString(const Text& text);
Text LabelFromQString(const QString& label);
// Requester filter: "*.txt;*.tv" or "Description|pattern|Description|pattern"
// to Qt's "Description (*.txt *.tv);;..." form.
QString FileFilterToQt(const Text& filter);

// Widget of a handle, for tests; nullptr for none.
QWidget* Widget(int handle);

// ---- trees (gui_qt_tree.cpp) ------------------------------------------------
QTreeWidget* NewTree(int handle, QWidget* parent);
QTreeWidget* NewCheckList(int handle, QWidget* parent);
Item* TreeItem(Record& tree, int index);
int TreeIndexOf(Record& tree, const QTreeWidgetItem* item);
void TreeAdd(Record& tree, int position, const Text& text, int picture, int level);
void TreeRemove(Record& tree, int index);
void TreeClear(Record& tree);
int TreeCurrent(Record& tree);
void TreeSetCurrent(Record& tree, int index);

}  // namespace gui_qt
