// Qt backend: batch work on a tree. Between BeginTreeBatch and EndTreeBatch the
// tree is not drawn, every call keeps working on flat indexes, and the tree
// shows the result at the end; unchanged item colours cost the view nothing.
#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QEvent>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <chrono>
#include <thread>

#include "qt/qt_test_util.h"

namespace {

using qt_test::As;

// Counts the paint events of a widget.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

class QtTreeBatch : public qt_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    tree_ = gui::CreateTree("LeftTree", 15, 15, 290, 505);
    view_ = As<QTreeWidget>(tree_);
    ASSERT_NE(view_, nullptr);
  }

  // Lets a frame pass and Qt process its events, as long work would.
  static void NextFrame() {
    std::this_thread::sleep_for(std::chrono::milliseconds(gui_qt::kPollIntervalMs + 4));
    gui::PollEvent();
  }

  int tree_ = 0;
  QTreeWidget* view_ = nullptr;
};

TEST_F(QtTreeBatch, NothingIsDrawnUntilTheLastEnd) {
  PaintCounter counter;
  view_->viewport()->installEventFilter(&counter);
  NextFrame();
  gui::BeginTreeBatch(tree_);
  gui::BeginTreeBatch(tree_);
  counter.paints = 0;
  for (int i = 0; i < 3000; ++i) {
    gui::AddItem(tree_, -1, TXT("Item"), 0, i == 0 ? 0 : (i % 100 == 1 ? 1 : 2));
    gui::PollEvent();
  }
  NextFrame();
  gui::EndTreeBatch(tree_);
  NextFrame();
  EXPECT_EQ(counter.paints, 0) << "drawn inside a batch";
  EXPECT_FALSE(view_->updatesEnabled());
  gui::EndTreeBatch(tree_);
  gui::EndTreeBatch(tree_);  // one End too many does nothing
  EXPECT_TRUE(view_->updatesEnabled());
  NextFrame();
  EXPECT_GT(counter.paints, 0) << "drawn after the batch";
  view_->viewport()->removeEventFilter(&counter);
}

TEST_F(QtTreeBatch, CallsInsideABatchSeeTheirOwnChanges) {
  gui::AddItem(tree_, -1, TXT("TV"), 0, 0);
  gui::AddItem(tree_, -1, TXT("Bouquet"), 0, 1);
  for (int i = 0; i < 10; ++i) gui::AddItem(tree_, -1, TXT("S"), 0, 2);
  gui::SetState(tree_, 5);
  gui::BeginTreeBatch(tree_);
  for (int i = 0; i < 2000; ++i) gui::AddItem(tree_, 2, TXT("New"), 0, 2);
  EXPECT_EQ(gui::CountItems(tree_), 2012);
  EXPECT_EQ(gui::GetState(tree_), 2005);
  for (int i = 2011; i >= 2; i -= 2) gui::RemoveItem(tree_, i);
  EXPECT_EQ(gui::CountItems(tree_), 1007);
  gui::SetItemColour(tree_, 3, 16499204);
  EXPECT_EQ(gui::GetItemColour(tree_, 3), 16499204);
  EXPECT_EQ(gui::GetItemText(tree_, 1006), TXT("S"));
  gui::EndTreeBatch(tree_);
  // Every item hangs where its level says, all expanded.
  int shown = 0;
  for (QTreeWidgetItemIterator it(view_); *it; ++it) ++shown;
  EXPECT_EQ(shown, 1007);
  EXPECT_EQ(view_->topLevelItem(0)->child(0)->childCount(), 1005);
  EXPECT_TRUE(view_->topLevelItem(0)->child(0)->isExpanded());
}

TEST_F(QtTreeBatch, UnchangedColoursDoNotTouchTheView) {
  for (int i = 0; i < 50; ++i) gui::AddItem(tree_, -1, TXT("S"), 0, i == 0 ? 0 : 1);
  int changes = 0;
  QObject::connect(view_->model(), &QAbstractItemModel::dataChanged, [&changes] { ++changes; });
  for (int i = 0; i < 50; ++i) gui::SetItemColour(tree_, i, gui::kDefaultColour);
  EXPECT_EQ(changes, 0);
  gui::SetItemColour(tree_, 7, 16499204);
  gui::SetItemColour(tree_, 7, 16499204);
  EXPECT_EQ(changes, 1);
  gui::SetItemColour(tree_, 7, -5);  // any negative value is the default
  gui::SetItemColour(tree_, 7, gui::kDefaultColour);
  EXPECT_EQ(changes, 2);
}

}  // namespace
