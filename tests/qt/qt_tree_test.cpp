// Qt backend: trees addressed by flat index, levels, colours, clicks and drag
// starts, in-place label editing and text drops.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <optional>
#include <string>
#include <vector>

#include "qt/qt_test_util.h"

using qt_test::As;
using qt_test::Drain;
using qt_test::SameEvent;

namespace {

struct Node {
  Text text;
  int level;
};

class QtTree : public qt_test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    tree_ = gui::CreateTree("LeftTree", 15, 15, 290, 505);
    ASSERT_NE(tree_, 0);
    view_ = As<QTreeWidget>(tree_);
    ASSERT_NE(view_, nullptr);
  }

  void Fill(const std::vector<Node>& nodes) {
    for (const Node& n : nodes) gui::AddItem(tree_, -1, n.text, 0, n.level);
  }

  // Qt's items in display (pre-order) order.
  std::vector<QTreeWidgetItem*> Shown() const {
    std::vector<QTreeWidgetItem*> items;
    for (QTreeWidgetItemIterator it(view_); *it; ++it) items.push_back(*it);
    return items;
  }

  QTreeWidgetItem* ItemAt(int index) const {
    const std::vector<QTreeWidgetItem*> items = Shown();
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)]
                                                                : nullptr;
  }

  // The tree shows exactly these items in this order, each under the nearest
  // earlier item of a smaller level, and every parent expanded.
  void ExpectTree(const std::vector<Node>& want) {
    ASSERT_EQ(gui::CountItems(tree_), static_cast<int>(want.size()));
    const std::vector<QTreeWidgetItem*> shown = Shown();
    ASSERT_EQ(shown.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
      SCOPED_TRACE("item " + std::to_string(i));
      const int index = static_cast<int>(i);
      EXPECT_EQ(gui::GetItemText(tree_, index), want[i].text);
      EXPECT_EQ(gui::GetItemLevel(tree_, index), want[i].level);
      EXPECT_EQ(gui_qt::FromQString(shown[i]->text(0)), want[i].text);
      int parent = -1;
      for (int j = index - 1; j >= 0; --j) {
        if (want[static_cast<size_t>(j)].level < want[i].level) {
          parent = j;
          break;
        }
      }
      EXPECT_EQ(shown[i]->parent(), parent < 0 ? nullptr : shown[static_cast<size_t>(parent)]);
      if (shown[i]->childCount() > 0) {
        EXPECT_TRUE(shown[i]->isExpanded());
      }
    }
  }

  QPoint CentreOf(int index) const { return view_->visualItemRect(ItemAt(index)).center(); }

  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QWidget* viewport = view_->viewport();
    QMouseEvent e(type, QPointF(at), QPointF(viewport->mapToGlobal(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &e);
  }

  int tree_ = 0;
  QTreeWidget* view_ = nullptr;
};

const std::vector<Node> kBouquets = {
    {TXT("User Bouquets TV"), 0}, {TXT("News"), 1}, {TXT("One"), 2}, {TXT("Two"), 2},
    {TXT("Sport"), 1},            {TXT("Three"), 2},
};

TEST_F(QtTree, InsertsAnywhereKeepFlatOrderAndLevelParentage) {
  Fill(kBouquets);
  ExpectTree(kBouquets);

  const struct {
    const char* what;
    int position;
    Node node;
    std::vector<Node> after;
  } steps[] = {
      {"service before a service", 3, {TXT("New"), 2},
       {{TXT("User Bouquets TV"), 0}, {TXT("News"), 1}, {TXT("One"), 2}, {TXT("New"), 2},
        {TXT("Two"), 2}, {TXT("Sport"), 1}, {TXT("Three"), 2}}},
      {"type item at the top", 0, {TXT("User Bouquets Radio"), 0},
       {{TXT("User Bouquets Radio"), 0}, {TXT("User Bouquets TV"), 0}, {TXT("News"), 1},
        {TXT("One"), 2}, {TXT("New"), 2}, {TXT("Two"), 2}, {TXT("Sport"), 1}, {TXT("Three"), 2}}},
      {"bouquet as first child of a type item", 1, {TXT("Music"), 1},
       {{TXT("User Bouquets Radio"), 0}, {TXT("Music"), 1}, {TXT("User Bouquets TV"), 0},
        {TXT("News"), 1}, {TXT("One"), 2}, {TXT("New"), 2}, {TXT("Two"), 2}, {TXT("Sport"), 1},
        {TXT("Three"), 2}}},
      {"service as first child of a bouquet", 8, {TXT("First"), 2},
       {{TXT("User Bouquets Radio"), 0}, {TXT("Music"), 1}, {TXT("User Bouquets TV"), 0},
        {TXT("News"), 1}, {TXT("One"), 2}, {TXT("New"), 2}, {TXT("Two"), 2}, {TXT("Sport"), 1},
        {TXT("First"), 2}, {TXT("Three"), 2}}},
      // The services after the insert point now belong to the new bouquet.
      {"bouquet before a service takes the rest", 5, {TXT("Split"), 1},
       {{TXT("User Bouquets Radio"), 0}, {TXT("Music"), 1}, {TXT("User Bouquets TV"), 0},
        {TXT("News"), 1}, {TXT("One"), 2}, {TXT("Split"), 1}, {TXT("New"), 2}, {TXT("Two"), 2},
        {TXT("Sport"), 1}, {TXT("First"), 2}, {TXT("Three"), 2}}},
      {"type item before a bouquet takes the bouquets", 8, {TXT("Data"), 0},
       {{TXT("User Bouquets Radio"), 0}, {TXT("Music"), 1}, {TXT("User Bouquets TV"), 0},
        {TXT("News"), 1}, {TXT("One"), 2}, {TXT("Split"), 1}, {TXT("New"), 2}, {TXT("Two"), 2},
        {TXT("Data"), 0}, {TXT("Sport"), 1}, {TXT("First"), 2}, {TXT("Three"), 2}}},
      {"past the end appends", 99, {TXT("Last"), 2},
       {{TXT("User Bouquets Radio"), 0}, {TXT("Music"), 1}, {TXT("User Bouquets TV"), 0},
        {TXT("News"), 1}, {TXT("One"), 2}, {TXT("Split"), 1}, {TXT("New"), 2}, {TXT("Two"), 2},
        {TXT("Data"), 0}, {TXT("Sport"), 1}, {TXT("First"), 2}, {TXT("Three"), 2},
        {TXT("Last"), 2}}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    gui::AddItem(tree_, step.position, step.node.text, 0, step.node.level);
    ExpectTree(step.after);
  }
}

TEST_F(QtTree, RemovalsKeepTheRestInOrder) {
  Fill(kBouquets);
  gui::RemoveItem(tree_, 2);  // a service
  ExpectTree({{TXT("User Bouquets TV"), 0}, {TXT("News"), 1}, {TXT("Two"), 2}, {TXT("Sport"), 1},
              {TXT("Three"), 2}});
  gui::RemoveItem(tree_, 3);  // a bouquet with a service: it moves to the previous bouquet
  ExpectTree({{TXT("User Bouquets TV"), 0}, {TXT("News"), 1}, {TXT("Two"), 2}, {TXT("Three"), 2}});
  gui::RemoveItem(tree_, 0);  // the type item: its bouquet goes to the top
  ExpectTree({{TXT("News"), 1}, {TXT("Two"), 2}, {TXT("Three"), 2}});
  gui::RemoveItem(tree_, 3);
  gui::RemoveItem(tree_, -1);
  ExpectTree({{TXT("News"), 1}, {TXT("Two"), 2}, {TXT("Three"), 2}});
  gui::ClearItems(tree_);
  ExpectTree({});
  EXPECT_EQ(gui::GetState(tree_), -1);
  Fill(kBouquets);
  ExpectTree(kBouquets);
}

TEST_F(QtTree, CurrentItemByIndexAfterInsertsAndRemovals) {
  Fill(kBouquets);
  EXPECT_EQ(gui::GetState(tree_), -1);
  gui::SetState(tree_, 3);
  EXPECT_EQ(gui::GetState(tree_), 3);
  EXPECT_EQ(gui::GetText(tree_), TXT("Two"));
  EXPECT_EQ(gui::GetItemState(tree_, 3), gui::kItemHighlighted);
  // Inserts before the current item move its index along.
  gui::AddItem(tree_, 0, TXT("Radio"), 0, 0);
  gui::AddItem(tree_, 2, TXT("Music"), 0, 1);
  EXPECT_EQ(gui::GetState(tree_), 5);
  gui::RemoveItem(tree_, 1);
  EXPECT_EQ(gui::GetState(tree_), 4);
  EXPECT_EQ(gui::GetText(tree_), TXT("Two"));
  for (int i : {0, 6, 2}) {
    gui::SetState(tree_, i);
    EXPECT_EQ(gui::GetState(tree_), i);
    EXPECT_EQ(view_->currentItem(), ItemAt(i));
  }
  gui::SetState(tree_, -1);
  EXPECT_EQ(gui::GetState(tree_), -1);
  EXPECT_EQ(view_->selectedItems().size(), 0);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST_F(QtTree, ItemColoursPackedBlueGreenRed) {
  Fill(kBouquets);
  const int marked = 16499204;  // red 4, green 194, blue 251
  gui::SetItemColour(tree_, 2, marked);
  EXPECT_EQ(gui::GetItemColour(tree_, 2), marked);
  EXPECT_EQ(ItemAt(2)->background(0).color(), QColor(4, 194, 251));
  EXPECT_EQ(gui::GetItemColour(tree_, 1), gui::kDefaultColour);
  EXPECT_FALSE(ItemAt(1)->data(0, Qt::BackgroundRole).isValid());
  // The colour travels with the item when others are inserted before it.
  gui::AddItem(tree_, 0, TXT("Radio"), 0, 0);
  EXPECT_EQ(gui::GetItemColour(tree_, 3), marked);
  gui::SetItemColour(tree_, 3, gui::kDefaultColour);
  EXPECT_EQ(gui::GetItemColour(tree_, 3), gui::kDefaultColour);
  EXPECT_FALSE(ItemAt(3)->data(0, Qt::BackgroundRole).isValid());
  gui::SetItemColour(tree_, 50, marked);
  EXPECT_EQ(gui::GetItemColour(tree_, 50), gui::kDefaultColour);
}

TEST_F(QtTree, TenThousandAppendsLookedUpByIndex) {
  const int kItems = 10000;
  for (int i = 0; i < kItems; ++i) {
    const int level = i == 0 ? 0 : (i % 100 == 1 ? 1 : 2);
    gui::AddItem(tree_, -1, TXT("S") + gui_qt::FromQString(QString::number(i)), 0, level);
  }
  ASSERT_EQ(gui::CountItems(tree_), kItems);
  for (int i : {0, 1, 2, 101, 5000, 9998, 9999}) {
    EXPECT_EQ(gui::GetItemText(tree_, i), TXT("S") + gui_qt::FromQString(QString::number(i)));
    EXPECT_EQ(gui::GetItemLevel(tree_, i), i == 0 ? 0 : (i % 100 == 1 ? 1 : 2));
  }
  gui::SetState(tree_, 9999);
  EXPECT_EQ(gui::GetState(tree_), 9999);
  gui::AddItem(tree_, 5000, TXT("mid"), 0, 2);
  EXPECT_EQ(gui::GetState(tree_), 10000);
  EXPECT_EQ(gui::GetItemText(tree_, 5000), TXT("mid"));
  EXPECT_EQ(gui::GetItemText(tree_, 5001), TXT("S5000"));
  const std::vector<QTreeWidgetItem*> shown = Shown();
  ASSERT_EQ(shown.size(), static_cast<size_t>(kItems + 1));
  EXPECT_EQ(shown[5000]->text(0), QStringLiteral("mid"));
  EXPECT_EQ(view_->topLevelItem(0)->childCount(), 100);
  EXPECT_EQ(view_->topLevelItem(0)->child(49)->childCount(), 100);  // 99 services and "mid"
}

// ---- clicks and drag start ----------------------------------------------------

TEST_F(QtTree, ClickMakesTheItemCurrentBeforeTheEvent) {
  Fill(kBouquets);
  const struct {
    Qt::MouseButton button;
    int item;
    int type;
  } cases[] = {
      {Qt::LeftButton, 3, gui::kLeftClick},
      {Qt::RightButton, 1, gui::kRightClick},
      {Qt::LeftButton, 5, gui::kLeftClick},
  };
  for (const auto& c : cases) {
    const QPoint at = CentreOf(c.item);
    Mouse(QEvent::MouseButtonPress, at, c.button, c.button);
    Mouse(QEvent::MouseButtonRelease, at, c.button, Qt::NoButton);
    EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, tree_, c.type, window_));
    EXPECT_EQ(gui::GetState(tree_), c.item);
    EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  }
  const QPoint at = CentreOf(2);
  Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  Mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  std::vector<int> types;
  for (gui::Event e = gui::PollEvent(); e.kind != gui::kEventNone; e = gui::PollEvent()) {
    types.push_back(e.type);
  }
  EXPECT_EQ(types, (std::vector<int>{gui::kLeftClick, gui::kLeftDoubleClick}));
  EXPECT_EQ(gui::GetState(tree_), 2);
  EXPECT_EQ(gui::CountItems(tree_), 6);
  EXPECT_TRUE(ItemAt(1)->isExpanded());  // a double click does not fold
}

TEST_F(QtTree, PressAndMoveIsADragStartNotAClick) {
  Fill(kBouquets);
  gui::SetState(tree_, 5);
  const QPoint from = CentreOf(1);
  const QPoint to = CentreOf(4);  // well past the drag distance, over another item
  Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Mouse(QEvent::MouseMove, from + QPoint(1, 1), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);  // within the drag distance
  Mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, tree_, gui::kDragStart, window_));
  EXPECT_EQ(gui::GetState(tree_), 1);  // the dragged item, not the one under the pointer
  Mouse(QEvent::MouseMove, to + QPoint(0, 5), Qt::NoButton, Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);  // one drag start, no click
  EXPECT_EQ(gui::GetState(tree_), 1);
  // With the button up the drag is over before it began: nothing is dropped.
  EXPECT_EQ(gui::StartTextDrag(TXT("1 1"), gui::kDragCopy), gui::kDragNone);
}

TEST_F(QtTree, CheckListReportsThePressWithTheRowCurrent) {
  const int list = gui::CreateCheckList("SatelliteList", 320, 10, 322, 300, TXT("Satellites"), 256);
  for (const Node& n : kBouquets) gui::AddItem(list, -1, n.text);
  auto* view = As<QTreeWidget>(list);
  QWidget* viewport = view->viewport();
  const QPoint at = view->visualItemRect(view->topLevelItem(4)).center();
  const QPoint global = viewport->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(global), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &press);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, list, gui::kLeftClick, window_));
  EXPECT_EQ(gui::GetState(list), 4);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(global), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &release);
  QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), QPointF(global), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &twice);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadget, list, gui::kLeftDoubleClick, window_));
  EXPECT_EQ(gui::GetState(list), 4);
}

TEST_F(QtTree, ScrollByLinesAndPointerPosition) {
  for (int i = 0; i < 200; ++i) gui::AddItem(tree_, -1, TXT("row"), 0, i == 0 ? 0 : 1);
  QScrollBar* bar = view_->verticalScrollBar();
  // Right after the items are added, before Qt has laid them out.
  gui::ScrollTreeLine(tree_, false);
  gui::ScrollTreeLine(tree_, false);
  ASSERT_GT(bar->maximum(), 2);
  EXPECT_GT(bar->singleStep(), 0);
  EXPECT_EQ(bar->value(), 2 * bar->singleStep());
  gui::ScrollTreeLine(tree_, true);
  EXPECT_EQ(bar->value(), bar->singleStep());
  gui::ScrollTreeLine(tree_, true);
  gui::ScrollTreeLine(tree_, true);
  EXPECT_EQ(bar->value(), 0);

  QCursor::setPos(view_->viewport()->mapToGlobal(QPoint(7, 300)));
  EXPECT_EQ(gui::PointerX(tree_), 7);
  EXPECT_EQ(gui::PointerY(tree_), 300);
  QCursor::setPos(view_->viewport()->mapToGlobal(QPoint(-4, -25)));
  EXPECT_EQ(gui::PointerX(tree_), -4);
  EXPECT_EQ(gui::PointerY(tree_), -25);
}

// ---- in-place label editing -------------------------------------------------------

struct EditCall {
  int window = 0;
  int tree = 0;
  int item = 0;
  std::optional<Text> text;
};
std::vector<EditCall> editCalls;
int editAnswer = gui::kEditDefault;

int RecordEdit(int window, int tree, int item, const Text* newText) {
  EditCall call{window, tree, item, std::nullopt};
  if (newText) call.text = *newText;
  editCalls.push_back(call);
  return editAnswer;
}

class QtTreeEdit : public QtTree {
 protected:
  void SetUp() override {
    QtTree::SetUp();
    editCalls.clear();
    gui::SetLabelEditCallback(window_, RecordEdit);
    Fill(kBouquets);
    gui::AddItem(tree_, 0, TXT("Radio"), 0, 0);  // indexes of the rest move by one
  }

  QLineEdit* Editor() const { return view_->viewport()->findChild<QLineEdit*>(); }

  void Key(QWidget* to, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &release);
    QCoreApplication::processEvents();  // the delegate commits through a queued call
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

TEST_F(QtTreeEdit, CommitCallsBackAndTheAnswerDecides) {
  gui::SetTreeLabelEditing(tree_, true);
  const struct {
    int answer;
    const char* shown;
  } cases[] = {
      {gui::kEditAccept, "Renamed"},
      {gui::kEditReject, "Three"},
      {gui::kEditDefault, "Three"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    editCalls.clear();
    editAnswer = c.answer;
    gui::SetItemText(tree_, 6, TXT("Three"));
    gui::EditTreeLabel(tree_, 6);
    QLineEdit* editor = Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("Three"));
    editor->setText(QStringLiteral("Renamed"));
    Key(editor, Qt::Key_Return);
    ASSERT_EQ(editCalls.size(), 1u);
    EXPECT_EQ(editCalls[0].window, window_);
    EXPECT_EQ(editCalls[0].tree, tree_);
    EXPECT_EQ(editCalls[0].item, 6);
    ASSERT_TRUE(editCalls[0].text.has_value());
    EXPECT_EQ(*editCalls[0].text, TXT("Renamed"));
    EXPECT_EQ(gui::GetItemText(tree_, 6), TextFromAscii(c.shown));
    EXPECT_EQ(Editor(), nullptr);
  }
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST_F(QtTreeEdit, EscapeCancelsWithNoText) {
  gui::SetTreeLabelEditing(tree_, true);
  editAnswer = gui::kEditAccept;
  gui::EditTreeLabel(tree_, 2);
  QLineEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  editor->setText(QStringLiteral("Nope"));
  Key(editor, Qt::Key_Escape);
  ASSERT_EQ(editCalls.size(), 1u);
  EXPECT_EQ(editCalls[0].item, 2);
  EXPECT_FALSE(editCalls[0].text.has_value());
  EXPECT_EQ(gui::GetItemText(tree_, 2), TXT("News"));
}

TEST_F(QtTreeEdit, NoEditWhileEditingIsOffOrForUnknownItems) {
  gui::EditTreeLabel(tree_, 2);
  EXPECT_EQ(Editor(), nullptr);
  gui::SetTreeLabelEditing(tree_, true);
  gui::EditTreeLabel(tree_, 70);
  EXPECT_EQ(Editor(), nullptr);
  gui::SetTreeLabelEditing(tree_, false);
  gui::EditTreeLabel(tree_, 1);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(editCalls.empty());
}

TEST_F(QtTreeEdit, RemovingTheEditedItemDoesNotCallBack) {
  gui::SetTreeLabelEditing(tree_, true);
  gui::EditTreeLabel(tree_, 3);
  ASSERT_NE(Editor(), nullptr);
  gui::RemoveItem(tree_, 3);
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_TRUE(editCalls.empty());
  EXPECT_EQ(gui::GetItemText(tree_, 3), TXT("Two"));
}

// ---- text drops ---------------------------------------------------------------------

class QtTreeDrop : public QtTree {
 protected:
  void SetUp() override {
    QtTree::SetUp();
    Fill(kBouquets);
    gui::EnableTextDrop(tree_);
  }

  // Enter, move and drop at a point of a viewport; whether each was accepted.
  // Qt hands moves and the drop to the widget that accepted the enter.
  struct Outcome {
    bool enter, move, drop;
    Qt::DropAction action;
  };
  static Outcome DropOn(QWidget* viewport, QPoint at, const QMimeData& mime,
                        Qt::DropActions offered = Qt::CopyAction) {
    Outcome o{};
    QDragEnterEvent enter(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &enter);
    o.enter = enter.isAccepted();
    QDragMoveEvent move(at, offered, &mime, Qt::LeftButton, Qt::NoModifier);
    move.ignore();
    QCoreApplication::sendEvent(viewport, &move);
    o.move = move.isAccepted();
    QDropEvent drop(QPointF(at), offered, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &drop);
    o.drop = drop.isAccepted();
    o.action = drop.dropAction();
    return o;
  }
  Outcome DropAt(QPoint at, const QMimeData& mime, Qt::DropActions offered = Qt::CopyAction) {
    return DropOn(view_->viewport(), at, mime, offered);
  }
};

TEST_F(QtTreeDrop, TextDroppedOnAnItemMakesItCurrent) {
  gui::SetState(tree_, 5);
  QMimeData mime;
  mime.setText(QStringLiteral("7 3"));
  const Outcome o = DropAt(CentreOf(2), mime);
  EXPECT_TRUE(o.enter);
  EXPECT_TRUE(o.move);
  EXPECT_TRUE(o.drop);
  EXPECT_EQ(o.action, Qt::CopyAction);
  EXPECT_TRUE(SameEvent(gui::WaitEvent(), gui::kEventGadgetDrop, tree_, gui::kEventTypeNone, window_));
  EXPECT_EQ(gui::EventDropKind(), gui::kDropText);
  EXPECT_EQ(gui::EventDropText(), TXT("7 3"));
  EXPECT_EQ(gui::EventDropAction(), gui::kDragCopy);
  EXPECT_EQ(gui::GetState(tree_), 2);
  EXPECT_EQ(gui::CountItems(tree_), 6);  // the program, not the tree, adds the items

  // The drop's data stays while other events are taken.
  const int check = gui::CreateCheckBox("Other", 320, 10, 100, 20, TXT("x"));
  As<QAbstractButton>(check)->click();
  EXPECT_EQ(gui::PollEvent().gadget, check);
  EXPECT_EQ(gui::EventDropText(), TXT("7 3"));
}

TEST_F(QtTreeDrop, DropBelowTheItemsLeavesNoCurrentItem) {
  gui::SetState(tree_, 1);
  QMimeData mime;
  mime.setText(QStringLiteral("7 1"));
  const QPoint below(10, view_->visualItemRect(ItemAt(5)).bottom() + 40);
  ASSERT_EQ(view_->itemAt(below), nullptr);
  EXPECT_TRUE(DropAt(below, mime, Qt::MoveAction).drop);
  EXPECT_TRUE(SameEvent(gui::PollEvent(), gui::kEventGadgetDrop, tree_, gui::kEventTypeNone, window_));
  EXPECT_EQ(gui::GetState(tree_), -1);
  EXPECT_EQ(view_->currentItem(), nullptr);
  EXPECT_EQ(gui::EventDropAction(), gui::kDragMove);
}

TEST_F(QtTreeDrop, OnlyTextOnlyWhereDropsAreEnabled) {
  QMimeData notText;
  notText.setData(QStringLiteral("application/x-other"), QByteArray("7 3"));
  const Outcome refused = DropAt(CentreOf(1), notText);
  EXPECT_FALSE(refused.enter);
  EXPECT_FALSE(refused.move);
  EXPECT_FALSE(refused.drop);

  const int other = gui::CreateTree("RightTree", 470, 15, 290, 505);
  gui::AddItem(other, -1, TXT("x"), 0, 0);
  auto* otherView = As<QTreeWidget>(other);
  QMimeData text;
  text.setText(QStringLiteral("7 0"));
  const QPoint at = otherView->visualItemRect(otherView->topLevelItem(0)).center();
  const Outcome elsewhere = DropOn(otherView->viewport(), at, text);
  EXPECT_FALSE(elsewhere.enter);
  EXPECT_FALSE(elsewhere.drop);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
  EXPECT_EQ(gui::GetState(other), -1);
}

TEST_F(QtTreeDrop, DragCallbackHearsTheActionOfThePlace) {
  static std::vector<int> heard;
  static bool goOn = true;
  heard.clear();
  gui::SetDragCallback([](int action) {
    heard.push_back(action);
    return goOn;
  });
  QMimeData text;
  text.setText(QStringLiteral("7 2"));
  QMimeData other;
  other.setData(QStringLiteral("application/x-other"), QByteArray("x"));
  QWidget* viewport = view_->viewport();
  const QPoint at = CentreOf(2);

  // Outside a drag of ours the callback stays quiet.
  EXPECT_TRUE(DropAt(CentreOf(4), text).drop);
  EXPECT_TRUE(heard.empty());
  Drain();

  gui_qt::S().drag.running = true;
  QDragEnterEvent enter(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDragMoveEvent over(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &over);
  QDragMoveEvent wrong(at, Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &wrong);
  QDragMoveEvent moving(at, Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &moving);
  QDragLeaveEvent leave;
  QCoreApplication::sendEvent(viewport, &leave);
  gui_qt::S().drag.running = false;
  gui::SetDragCallback(nullptr);
  EXPECT_EQ(heard, (std::vector<int>{gui::kDragCopy, gui::kDragNone, gui::kDragMove}));
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

}  // namespace
