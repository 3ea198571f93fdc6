// Qt 6 Widgets backend of the GUI facility: trees and check-box lists (both
// QTreeWidget), in-place label editing, drag and drop of text between trees,
// pointer position, tree scrolling and the Shift key.
//
// Implements: the tree half of AddItem/RemoveItem/ClearItems and of the state
// calls (through gui_qt_internal.h), SetTreeLabelEditing, EditTreeLabel,
// StartTextDrag, PointerX/Y, ScrollTreeLine, ShiftKeyDown, Begin/EndTreeBatch
// (a batch only stops the tree's drawing: with PollEvent's throttle, Qt lays
// the tree out at most once per frame however many items change).
// Tree items are addressed by flat display index through a vector kept in
// display order; parentage is derived from the levels (an item hangs under
// the nearest earlier item with a smaller level), so the Qt hierarchy only
// mirrors the vector. All items stay expanded.
// Lacks: edits begun by the toolkit itself (only EditTreeLabel begins one),
// drags of anything but text, drops on gadgets other than trees. RemoveItem
// on an item that has children keeps them: each is hung again by the level
// rule at its flat place (callers remove children first in practice).
#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <unordered_set>

#include "platform/gui.h"
#include "platform/gui_qt_internal.h"

using namespace gui_qt;

namespace {

int ToGuiAction(Qt::DropAction action) {
  if (action == Qt::CopyAction) return gui::kDragCopy;
  if (action == Qt::MoveAction) return gui::kDragMove;
  return gui::kDragNone;
}

// The action a text drop would take here: the one proposed when it is copy or
// move, else copy or move if offered.
Qt::DropAction DropActionFor(const QDropEvent* e) {
  const Qt::DropAction proposed = e->proposedAction();
  if (proposed == Qt::CopyAction || proposed == Qt::MoveAction) return proposed;
  if (e->possibleActions() & Qt::CopyAction) return Qt::CopyAction;
  if (e->possibleActions() & Qt::MoveAction) return Qt::MoveAction;
  return Qt::IgnoreAction;
}

void CallDragCallback() {
  State& s = S();
  if (!s.drag.running || !s.dragCallback) return;
  ++s.callbackDepth;
  const bool goOn = s.dragCallback(s.drag.action);
  --s.callbackDepth;
  if (!goOn) QDrag::cancel();
}

// Trees and check-box lists. The two differ in how clicks are reported: a
// list reports the press at once; a tree reports the click at the release,
// unless the press turned into a drag start.
class TreeView : public QTreeWidget {
 public:
  TreeView(int handle, bool checkList, QWidget* parent)
      : QTreeWidget(parent), handle_(handle), checkList_(checkList) {}

  Item* ItemOf(const QModelIndex& index) const {
    return static_cast<Item*>(itemFromIndex(index));
  }
  int handle() const { return handle_; }
  void LayOut() { executeDelayedItemsLayout(); }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    pressed_ = e->button();
    pressIndex_ = indexAt(e->position().toPoint());
    pressPos_ = e->position().toPoint();
    dragSent_ = false;
    QTreeWidget::mousePressEvent(e);
    if (checkList_) PushClick(e->button());
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    if (checkList_ || !(e->buttons() & Qt::LeftButton) || pressed_ != Qt::LeftButton) {
      QTreeWidget::mouseMoveEvent(e);
      return;
    }
    // No drag-selection of Qt's own: the press either stays a click or
    // becomes a drag start.
    if (dragSent_ || !pressIndex_.isValid()) return;
    if ((e->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance()) {
      return;
    }
    dragSent_ = true;
    if (Item* item = ItemOf(pressIndex_)) {
      Quiet quiet;
      setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
    }
    S().drag.source = this;
    Push(handle_, gui::kDragStart);
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    QTreeWidget::mouseReleaseEvent(e);
    if (!checkList_ && pressed_ == e->button() && !dragSent_) PushClick(e->button());
    pressed_ = Qt::NoButton;
  }

  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QTreeWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) Push(handle_, gui::kLeftDoubleClick);
  }

  void dragEnterEvent(QDragEnterEvent* e) override { TakeDragOver(e); }
  void dragMoveEvent(QDragMoveEvent* e) override {
    TakeDragOver(e);
    CallDragCallback();
  }
  void dragLeaveEvent(QDragLeaveEvent* e) override {
    S().drag.action = gui::kDragNone;
    e->accept();
  }

  void dropEvent(QDropEvent* e) override {
    const Qt::DropAction action = AcceptsText(e) ? DropActionFor(e) : Qt::IgnoreAction;
    S().drag.action = gui::kDragNone;
    if (action == Qt::IgnoreAction) {
      e->ignore();
      return;
    }
    {
      Quiet quiet;
      if (QTreeWidgetItem* item = itemAt(e->position().toPoint())) {
        setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
      } else {
        clearSelection();
        setCurrentItem(nullptr);
      }
    }
    e->setDropAction(action);
    e->accept();
    PushDrop(handle_, FromQString(e->mimeData()->text()), ToGuiAction(action));
  }

 private:
  bool AcceptsText(const QDropEvent* e) const {
    Record* r = Find(handle_, kKindTree);
    return r && r->tree->dropTarget && e->mimeData() && e->mimeData()->hasText();
  }

  void TakeDragOver(QDragMoveEvent* e) {
    const Qt::DropAction action = AcceptsText(e) ? DropActionFor(e) : Qt::IgnoreAction;
    S().drag.action = ToGuiAction(action);
    if (action == Qt::IgnoreAction) {
      e->ignore();
      return;
    }
    e->setDropAction(action);
    e->accept();
  }

  void PushClick(Qt::MouseButton button) {
    if (button == Qt::LeftButton) Push(handle_, gui::kLeftClick);
    if (button == Qt::RightButton) Push(handle_, gui::kRightClick);
  }

  int handle_;
  bool checkList_;
  Qt::MouseButton pressed_ = Qt::NoButton;
  QPersistentModelIndex pressIndex_;
  QPoint pressPos_;
  bool dragSent_ = false;
};

// Check-box list cells with grid lines.
class GridDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(option.palette.color(QPalette::Mid));
    const QRect r = option.rect;
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
  }
};

// In-place label editing: the end of an edit goes to the window's label edit
// callback, whose answer decides whether the new text is shown.
class LabelDelegate : public QStyledItemDelegate {
 public:
  LabelDelegate(TreeView* view) : QStyledItemDelegate(view), view_(view) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor_ = editor;
    ended_ = false;
    return editor;
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (editor != editor_ || ended_ || !line) return;
    ended_ = true;
    const Text text = FromQString(line->text());
    const QPersistentModelIndex edited(index);
    if (Notify(edited, &text) == gui::kEditAccept && edited.isValid()) {
      Quiet quiet;
      model->setData(edited, ToQString(text), Qt::EditRole);
    }
  }

  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    if (editor == editor_ && !ended_) {
      ended_ = true;
      // An editor closed by the backend's own item changes is no user's
      // cancel; the program is not called back into while it changes the tree.
      if (S().quiet == 0) Notify(QPersistentModelIndex(index), nullptr);
    }
    if (editor == editor_) editor_ = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
  }

 private:
  int Notify(const QPersistentModelIndex& index, const Text* text) const {
    Record* tree = Find(view_->handle(), kKindTree);
    if (!tree) return gui::kEditDefault;
    const int window = tree->window;
    const int item = TreeIndexOf(*tree, view_->ItemOf(index));
    Record* w = Find(window, kKindWindow);
    if (!w || !w->labelEdit) return gui::kEditDefault;
    const gui::LabelEditCallback callback = w->labelEdit;
    State& s = S();
    ++s.callbackDepth;
    const int answer = callback(window, view_->handle(), item, text);
    --s.callbackDepth;
    return answer;
  }

  TreeView* view_;
  mutable QWidget* editor_ = nullptr;
  mutable bool ended_ = false;
};

TreeView* View(Record& r) { return static_cast<TreeView*>(r.widget.data()); }

void Renumber(TreeData& t) {
  for (size_t i = t.fresh; i < t.flat.size(); ++i) t.flat[i]->flatIndex = static_cast<int>(i);
  t.fresh = t.flat.size();
}

void Expand(QTreeWidgetItem* item) {
  if (item->childCount() == 0) return;
  item->setExpanded(true);
  for (int i = 0; i < item->childCount(); ++i) Expand(item->child(i));
}

int Descendants(const QTreeWidgetItem* item) {
  int n = item->childCount();
  for (int i = 0; i < item->childCount(); ++i) n += Descendants(item->child(i));
  return n;
}

void Detach(QTreeWidget* view, QTreeWidgetItem* item) {
  if (QTreeWidgetItem* parent = item->parent()) {
    parent->takeChild(parent->indexOfChild(item));
  } else {
    view->takeTopLevelItem(view->indexOfTopLevelItem(item));
  }
}

// Hangs the detached item at flat index q under the nearest earlier item with
// a smaller level, right after the sibling branch that ends at q - 1. That
// parent is on the ancestor chain of item q - 1, so no scan of the vector is
// needed; appending at the end costs a walk up that chain only.
void Place(QTreeWidget* view, TreeData& t, size_t q) {
  Item* item = t.flat[q];
  QTreeWidgetItem* parent = nullptr;
  QTreeWidgetItem* before = nullptr;  // child of parent on the chain, item goes after it
  if (q > 0) {
    QTreeWidgetItem* node = t.flat[q - 1];
    while (node && static_cast<Item*>(node)->level >= item->level) {
      before = node;
      node = node->parent();
    }
    parent = node;
  }
  int row = 0;
  if (before) {
    const int count = parent ? parent->childCount() : view->topLevelItemCount();
    QTreeWidgetItem* last = parent ? parent->child(count - 1) : view->topLevelItem(count - 1);
    if (last == before) {
      row = count;
    } else {
      row = 1 + (parent ? parent->indexOfChild(before) : view->indexOfTopLevelItem(before));
    }
  }
  if (parent) {
    parent->insertChild(row, item);
    if (parent->childCount() == 1) parent->setExpanded(true);
  } else {
    view->insertTopLevelItem(row, item);
  }
}

// Taking items out of Qt's tree drops them from the selection; the current
// item is put back after the items have been hung again.
QTreeWidgetItem* SelectedCurrent(QTreeWidget* view) {
  QTreeWidgetItem* current = view->currentItem();
  return current && current->isSelected() ? current : nullptr;
}

void RestoreCurrent(QTreeWidget* view, QTreeWidgetItem* current) {
  if (current && view->currentItem() != current && current->treeWidget() == view) {
    view->setCurrentItem(current, 0, QItemSelectionModel::ClearAndSelect);
  }
}

// After an insert at p: the following items deeper than the new item whose
// parent lies before p now hang under the new item, as the level rule says.
void Adopt(QTreeWidget* view, TreeData& t, size_t p) {
  Item* adopter = t.flat[p];
  std::unordered_set<const QTreeWidgetItem*> run;
  bool moved = false;
  QTreeWidgetItem* current = SelectedCurrent(view);
  for (size_t j = p + 1; j < t.flat.size() && t.flat[j]->level > adopter->level; ++j) {
    Item* item = t.flat[j];
    if (!run.count(item->parent())) {
      Detach(view, item);
      adopter->addChild(item);
      moved = true;
    }
    run.insert(item);
  }
  if (!moved) return;
  Expand(adopter);
  RestoreCurrent(view, current);
}

}  // namespace

namespace gui_qt {

QTreeWidget* NewTree(int handle, QWidget* parent) {
  auto* tree = new TreeView(handle, false, parent);
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setExpandsOnDoubleClick(false);
  tree->setItemsExpandable(false);
  tree->setUniformRowHeights(true);
  tree->setDragEnabled(false);
  tree->setDragDropMode(QAbstractItemView::NoDragDrop);
  tree->setDropIndicatorShown(false);
  tree->setItemDelegate(new LabelDelegate(tree));
  return tree;
}

QTreeWidget* NewCheckList(int handle, QWidget* parent) {
  auto* list = new TreeView(handle, true, parent);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionsMovable(false);
  list->setItemDelegate(new GridDelegate(list));
  QObject::connect(list, &QTreeWidget::itemChanged, [handle](QTreeWidgetItem* changed, int column) {
    if (S().quiet > 0 || column != 0) return;
    auto* row = static_cast<Item*>(changed);
    const bool ticked = row->checkState(0) == Qt::Checked;
    if (ticked == row->ticked) return;
    row->ticked = ticked;
    Push(handle, gui::kChange);
  });
  return list;
}

Item* TreeItem(Record& tree, int index) {
  const std::vector<Item*>& flat = tree.tree->flat;
  if (index < 0 || index >= static_cast<int>(flat.size())) return nullptr;
  return flat[static_cast<size_t>(index)];
}

int TreeIndexOf(Record& tree, const QTreeWidgetItem* item) {
  if (!item) return -1;
  TreeData& t = *tree.tree;
  Renumber(t);
  const int index = static_cast<const Item*>(item)->flatIndex;
  if (index < 0 || index >= static_cast<int>(t.flat.size())) return -1;
  return t.flat[static_cast<size_t>(index)] == item ? index : -1;
}

void TreeAdd(Record& tree, int position, const Text& text, int picture, int level) {
  TreeData& t = *tree.tree;
  QTreeWidget* view = View(tree);
  const size_t n = t.flat.size();
  const size_t p = position < 0 || static_cast<size_t>(position) >= n ? n : static_cast<size_t>(position);
  auto* item = new Item;
  item->level = level < 0 ? 0 : level;
  item->setText(0, ToQString(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
  State& s = S();
  if (picture > 0 && picture <= static_cast<int>(s.pictures.size())) {
    item->setIcon(0, QIcon(s.pictures[static_cast<size_t>(picture - 1)]));
  }
  Quiet quiet;
  if (p == n) {
    item->flatIndex = static_cast<int>(n);
    t.flat.push_back(item);
    if (t.fresh == n) t.fresh = n + 1;
  } else {
    t.flat.insert(t.flat.begin() + static_cast<std::ptrdiff_t>(p), item);
    t.fresh = std::min(t.fresh, p);
  }
  Place(view, t, p);
  if (p < n) Adopt(view, t, p);
}

void TreeRemove(Record& tree, int index) {
  Item* item = TreeItem(tree, index);
  if (!item) return;
  TreeData& t = *tree.tree;
  QTreeWidget* view = View(tree);
  Quiet quiet;
  QTreeWidgetItem* current = SelectedCurrent(view);
  if (current == item) current = nullptr;
  const QList<QTreeWidgetItem*> children = item->takeChildren();
  delete item;
  t.flat.erase(t.flat.begin() + index);
  t.fresh = std::min(t.fresh, static_cast<size_t>(index));
  size_t q = static_cast<size_t>(index);
  for (QTreeWidgetItem* child : children) {
    Place(view, t, q);
    Expand(child);
    q += 1 + static_cast<size_t>(Descendants(child));
  }
  if (!children.isEmpty()) RestoreCurrent(view, current);
}

void TreeClear(Record& tree) {
  Quiet quiet;
  View(tree)->clear();
  tree.tree->flat.clear();
  tree.tree->fresh = 0;
}

int TreeCurrent(Record& tree) {
  QTreeWidgetItem* current = View(tree)->currentItem();
  if (!current || !current->isSelected()) return -1;
  return TreeIndexOf(tree, current);
}

void TreeSetCurrent(Record& tree, int index) {
  QTreeWidget* view = View(tree);
  Quiet quiet;
  if (Item* item = TreeItem(tree, index)) {
    view->setCurrentItem(item, 0, QItemSelectionModel::ClearAndSelect);
  } else {
    view->clearSelection();
    view->setCurrentItem(nullptr);
  }
}

}  // namespace gui_qt

namespace gui {

void BeginTreeBatch(int tree) {
  Record* r = Find(tree, kKindTree);
  if (!r) return;
  if (r->tree->batchDepth++ == 0) View(*r)->setUpdatesEnabled(false);
}

void EndTreeBatch(int tree) {
  Record* r = Find(tree, kKindTree);
  if (!r || r->tree->batchDepth == 0) return;
  if (--r->tree->batchDepth == 0) View(*r)->setUpdatesEnabled(true);
}

void SetTreeLabelEditing(int tree, bool on) {
  if (Record* r = Find(tree, kKindTree)) r->tree->labelEditing = on;
}

void EditTreeLabel(int tree, int item) {
  Record* r = Find(tree, kKindTree);
  if (!r || !r->tree->labelEditing) return;
  Item* it = TreeItem(*r, item);
  if (!it) return;
  TreeView* view = View(*r);
  view->scrollToItem(it);
  view->editItem(it, 0);
}

int StartTextDrag(const Text& text, int action) {
  State& s = S();
  if (!s.app || s.drag.running) return kDragNone;
  // Once the button is up the drag the user began is over; Qt would start a
  // new one that waits for the next click.
  if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) return kDragNone;
  QObject* source = s.drag.source ? static_cast<QObject*>(s.drag.source.data())
                                  : static_cast<QObject*>(QApplication::activeWindow());
  if (!source) return kDragNone;
  Qt::DropActions offered;
  if (action & kDragCopy) offered |= Qt::CopyAction;
  if (action & kDragMove) offered |= Qt::MoveAction;
  if (!offered) offered = Qt::CopyAction;
  const Qt::DropAction preferred = (action & kDragCopy) || !(action & kDragMove) ? Qt::CopyAction
                                                                                 : Qt::MoveAction;
  auto* drag = new QDrag(source);  // Qt deletes it when exec returns
  auto* mime = new QMimeData;
  mime->setText(ToQString(text));
  drag->setMimeData(mime);

  s.drag.running = true;
  s.drag.action = kDragNone;
  // The callback also runs while the pointer rests or is over no tree of ours,
  // so that auto-scrolling goes on.
  QTimer ticker;
  ticker.setInterval(50);
  QObject::connect(&ticker, &QTimer::timeout, [] { CallDragCallback(); });
  ticker.start();
  const Qt::DropAction taken = drag->exec(offered, preferred);
  ticker.stop();
  s.drag.running = false;
  s.drag.action = kDragNone;
  return ToGuiAction(taken);
}

int PointerX(int gadget) {
  Record* r = Find(gadget);
  if (!r) return 0;
  QWidget* area = r->widget.data();
  if (auto* scroll = qobject_cast<QAbstractScrollArea*>(area)) area = scroll->viewport();
  return area->mapFromGlobal(QCursor::pos()).x();
}

int PointerY(int gadget) {
  Record* r = Find(gadget);
  if (!r) return 0;
  QWidget* area = r->widget.data();
  if (auto* scroll = qobject_cast<QAbstractScrollArea*>(area)) area = scroll->viewport();
  return area->mapFromGlobal(QCursor::pos()).y();
}

void ScrollTreeLine(int tree, bool up) {
  Record* r = Find(tree, kKindTree);
  if (!r) return;
  View(*r)->LayOut();  // the scroll range follows the items only after lay-out
  View(*r)->verticalScrollBar()->triggerAction(up ? QAbstractSlider::SliderSingleStepSub
                                                  : QAbstractSlider::SliderSingleStepAdd);
}

bool ShiftKeyDown() {
  if (!S().app) return false;
  return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
}

}  // namespace gui
