// Qt 6 Widgets backend of the GUI facility (gui.h): set-up, windows, panels,
// gadgets other than trees, rows, events, message boxes, requesters, pictures.
// Trees, in-place label editing and drag and drop are in gui_qt_tree.cpp.
//
// Implements: every function of gui.h except LoadPicture (gui_picture.cpp,
// shared with the headless backend). Qt signals and event handlers only push
// into the event queue; WaitEvent and PollEvent run Qt's event processing,
// PollEvent at most once per kPollIntervalMs (frames marked by a ticker thread).
// Lacks: text drops on gadgets other than trees (EnableTextDrop is a no-op
// there), AddItem on tab panels, several open panels filled at once in
// different windows (the panel stack belongs to the current window), the
// kWindowDialog flag beyond making the window a dialog of the current one.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdlib>
#include <cstring>

#include "common/files.h"
#include "platform/gui.h"
#include "platform/gui_qt_internal.h"

namespace gui_qt {

State& S() {
  static State state;
  return state;
}

Record* Find(int handle, int kind) {
  State& s = S();
  if (handle <= 0 || handle >= static_cast<int>(s.records.size())) return nullptr;
  Record& r = s.records[static_cast<size_t>(handle)];
  if (r.kind == kKindNone || !r.widget) return nullptr;
  if (kind != kKindNone && r.kind != kind) return nullptr;
  return &r;
}

QWidget* Widget(int handle) {
  Record* r = Find(handle);
  return r ? r->widget.data() : nullptr;
}

void Push(int gadget, int type) {
  Record* r = Find(gadget);
  if (!r) return;
  QueuedEvent q;
  q.event.kind = gui::kEventGadget;
  q.event.gadget = gadget;
  q.event.type = type;
  q.event.window = r->kind == kKindWindow ? gadget : r->window;
  S().queue.push_back(q);
}

void PushDrop(int gadget, const Text& text, int action) {
  Record* r = Find(gadget);
  if (!r) return;
  QueuedEvent q;
  q.event.kind = gui::kEventGadgetDrop;
  q.event.gadget = gadget;
  q.event.window = r->window;
  q.dropKind = gui::kDropText;
  q.dropText = text;
  q.dropAction = action;
  S().queue.push_back(q);
}

// ---- text -------------------------------------------------------------------

QString ToQString(const Text& text) {
#ifdef OVN_UNICODE
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
#else
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
#endif
}

Text FromQString(const QString& text) {
#ifdef OVN_UNICODE
  return Text(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
#else
  const QByteArray latin1 = text.toLatin1();  // characters beyond Latin-1 become "?"
  return Text(latin1.constData(), static_cast<size_t>(latin1.size()));
#endif
}

QString MessageToQString(const Text& text) {
  QString q = ToQString(text);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return q;
}

QString LabelToQString(const Text& text) {
  return ToQString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

Text LabelFromQString(const QString& label) {
  QString q = label;
  return FromQString(q.replace(QStringLiteral("&&"), QStringLiteral("&")));
}

QString FileFilterToQt(const Text& filter) {
  const QString given = ToQString(filter).trimmed();
  if (given.isEmpty()) return QString();
  auto patterns = [](const QString& list) {
    QStringList parts = list.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& p : parts) p = p.trimmed();
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
  };
  QStringList filters;
  if (given.contains(QLatin1Char('|'))) {
    const QStringList fields = given.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < fields.size(); i += 2) {
      const QString description = fields[i].trimmed();
      const QString pattern = i + 1 < fields.size() ? patterns(fields[i + 1]) : patterns(description);
      if (pattern.isEmpty()) continue;
      filters << (description.isEmpty() ? pattern : description) + QStringLiteral(" (") + pattern +
                     QLatin1Char(')');
    }
  } else {
    // A bare pattern serves as its own description.
    filters << given + QStringLiteral(" (") + patterns(given) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

}  // namespace gui_qt

using namespace gui_qt;

namespace {

// Close box: the program decides, so the close is refused and reported.
class WindowFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Close) return false;
    State& s = S();
    for (size_t h = 1; h < s.records.size(); ++h) {
      const Record& r = s.records[h];
      if (r.kind == kKindWindow && r.widget == watched) {
        QueuedEvent q;
        q.event.kind = gui::kEventCloseWindow;
        q.event.window = static_cast<int>(h);
        s.queue.push_back(q);
        break;
      }
    }
    event->ignore();
    return true;
  }
};

WindowFilter* windowFilter = nullptr;

class IconList : public QListWidget {
 public:
  IconList(int handle, QWidget* parent) : QListWidget(parent), handle_(handle) {}

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QListWidget::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) Push(handle_, gui::kLeftClick);
    if (e->button() == Qt::RightButton) Push(handle_, gui::kRightClick);
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QListWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) Push(handle_, gui::kLeftDoubleClick);
  }
  void keyPressEvent(QKeyEvent* e) override {
    const int before = currentRow();
    QListWidget::keyPressEvent(e);
    if (currentRow() != before) Push(handle_, gui::kChange);
  }

 private:
  int handle_;
};

int NewHandle() {
  State& s = S();
  s.records.emplace_back();
  return static_cast<int>(s.records.size() - 1);
}

// Where a new gadget goes: the tab being filled of the innermost open panel,
// else the current window.
QWidget* Container() {
  State& s = S();
  if (!s.openPanels.empty()) {
    Record* panel = Find(s.openPanels.back(), kKindPanel);
    if (panel && panel->page) return panel->page;
  }
  Record* window = Find(s.currentWindow, kKindWindow);
  return window ? window->widget.data() : nullptr;
}

int AddGadget(int handle, int kind, const char* name, QWidget* widget, int x, int y, int w, int h) {
  Record& r = S().records[static_cast<size_t>(handle)];
  r.kind = kind;
  r.widget = widget;
  r.name = name ? name : "";
  r.window = S().currentWindow;
  widget->setObjectName(QString::fromUtf8(r.name.c_str()));
  widget->setGeometry(x, y, w < 0 ? 0 : w, h < 0 ? 0 : h);
  widget->show();
  return handle;
}

QTreeWidget* TreeWidget(Record& r) { return static_cast<QTreeWidget*>(r.widget.data()); }

Item* ListRow(Record& r, int row) {
  QTreeWidget* list = TreeWidget(r);
  if (row < 0 || row >= list->topLevelItemCount()) return nullptr;
  return static_cast<Item*>(list->topLevelItem(row));
}

QListWidgetItem* IconRow(Record& r, int row) {
  auto* list = static_cast<QListWidget*>(r.widget.data());
  return row >= 0 && row < list->count() ? list->item(row) : nullptr;
}

QIcon PictureIcon(int picture) {
  State& s = S();
  if (picture <= 0 || picture > static_cast<int>(s.pictures.size())) return QIcon();
  return QIcon(s.pictures[static_cast<size_t>(picture - 1)]);
}

void SetItemBackground(Item* item, int colour) {
  item->colour = colour < 0 ? gui::kDefaultColour : colour;
  const int columns = item->treeWidget() ? item->treeWidget()->columnCount() : 1;
  for (int c = 0; c < columns; ++c) {
    if (item->colour == gui::kDefaultColour) {
      item->setData(c, Qt::BackgroundRole, QVariant());
    } else {
      item->setBackground(c, QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
  }
}

int FirstSelectedRow(QTreeWidget* list) {
  int first = -1;
  for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

int FirstSelectedRow(QListWidget* list) {
  int first = -1;
  for (const QModelIndex& index : list->selectionModel()->selectedIndexes()) {
    if (first < 0 || index.row() < first) first = index.row();
  }
  return first;
}

QWidget* DialogParent() {
  QWidget* parent = QApplication::activeWindow();
  if (parent) return parent;
  Record* window = Find(S().currentWindow, kKindWindow);
  return window ? window->widget.data() : nullptr;
}

// A proposed name made of wildcards ("*.txt") is no file to preselect; only
// its folder part is kept.
QString RequesterStart(const Text& proposed) {
  const QString p = ToQString(proposed);
  if (!p.contains(QLatin1Char('*')) && !p.contains(QLatin1Char('?'))) return p;
  const QString folder = QFileInfo(p).path();
  return folder == QStringLiteral(".") ? QString() : folder;
}

// Requesters are Qt's own dialogs, the same on every desktop (a path can be
// typed into their file name field). Qt does not change the working folder,
// but a dialog of the platform might; the folder is put back so that relative paths keep their meaning.
void RestoreWorkingFolder(const QString& folder) {
  if (QDir::currentPath() != folder) QDir::setCurrent(folder);
}

void FlushDeferredDeletes() {
  State& s = S();
  if (s.callbackDepth == 0 && !s.drag.running) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Processes Qt's pending events when a frame has passed since they were last
// processed.
void ProcessEventsOncePerFrame() {
  State& s = S();
  if (!s.frames.TakeFrame()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  FlushDeferredDeletes();
  s.frames.Restart();
}

gui::Event Take() {
  State& s = S();
  QueuedEvent q = std::move(s.queue.front());
  s.queue.pop_front();
  const gui::Event event = q.event;
  if (event.kind == gui::kEventGadgetDrop) s.lastTaken = std::move(q);
  return event;
}

}  // namespace

namespace gui {

// ---- set-up -----------------------------------------------------------------

void Init(int& argc, char** argv) {
  State& s = S();
  if (s.app) return;
  s.argc = argc;
  s.argv.assign(argv, argv + (argc > 0 ? argc : 0));
  s.argv.push_back(nullptr);
  s.app = qobject_cast<QApplication*>(QCoreApplication::instance());
  s.ownsApp = s.app == nullptr;
  if (s.ownsApp) {
    s.app = new QApplication(s.argc, s.argv.data());
    // Qt takes its own options out; the caller sees the same.
    for (int i = 0; i < s.argc; ++i) argv[i] = s.argv[static_cast<size_t>(i)];
    if (s.argc < argc) argv[s.argc] = nullptr;
    argc = s.argc;
  }
  if (!s.app) return;
  if (s.ownsApp) {
    // Gadget places and sizes are fixed pixels laid out for a font of 11
    // pixels (8 points at 96 dpi); a larger desktop font would cut labels.
    // A condensed face, where the desktop has one, fits the narrow labels.
    QFont font = QApplication::font();
    font.setPixelSize(11);
    font.setStretch(QFont::SemiCondensed);
    QApplication::setFont(font);
  }
  s.records.clear();
  s.records.emplace_back();
  windowFilter = new WindowFilter;
  s.frames.Start();
}

void Shutdown() {
  State& s = S();
  if (!s.app) return;
  s.frames.Stop();
  for (Record& r : s.records) {
    if (r.kind == kKindWindow && r.widget) delete r.widget.data();
  }
  s.records.clear();
  s.queue.clear();
  s.lastTaken = QueuedEvent();
  s.pictures.clear();
  s.openPanels.clear();
  s.currentWindow = 0;
  s.dragCallback = nullptr;
  s.drag = DragState();
  delete windowFilter;
  windowFilter = nullptr;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (s.ownsApp) delete s.app;
  s.app = nullptr;
  s.ownsApp = false;
}

void ExitProgram(int code) {
  Shutdown();
  std::exit(code);
}

// ---- windows ------------------------------------------------------------------

int OpenWindow(const char* name, int x, int y, int innerWidth, int innerHeight, const Text& title,
               int flags) {
  State& s = S();
  if (!s.app) return 0;
  Record* opener = Find(s.currentWindow, kKindWindow);
  QWidget* parent = (flags & kWindowDialog) && opener ? opener->widget.data() : nullptr;
  auto* window = new QWidget(parent);
  const Qt::WindowFlags type = (flags & kWindowDialog) ? Qt::Dialog : Qt::Window;
  window->setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  window->setObjectName(QString::fromUtf8(name ? name : ""));
  window->setWindowTitle(ToQString(title));
  const int w = innerWidth > 0 ? innerWidth : 1;
  const int h = innerHeight > 0 ? innerHeight : 1;
  window->setFixedSize(w, h);
  if (flags & kWindowCentered) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, w, h);
    x = area.x() + (area.width() - w) / 2;
    y = area.y() + (area.height() - h) / 2;
  }
  window->setGeometry(x, y, w, h);
  window->installEventFilter(windowFilter);

  const int handle = NewHandle();
  Record& r = s.records[static_cast<size_t>(handle)];
  r.kind = kKindWindow;
  r.widget = window;
  r.name = name ? name : "";
  r.window = handle;
  s.currentWindow = handle;
  s.openPanels.clear();
  window->show();
  return handle;
}

void CloseWindow(int window) {
  State& s = S();
  Record* r = Find(window, kKindWindow);
  if (!r) return;
  QWidget* widget = r->widget.data();
  for (size_t h = 1; h < s.records.size(); ++h) {
    Record& g = s.records[h];
    if (g.window == window) g = Record();
  }
  if (s.currentWindow == window) {
    s.currentWindow = 0;
    s.openPanels.clear();
  }
  widget->hide();
  // Inside a callback of the program Qt may still be using the widget.
  if (s.callbackDepth > 0 || s.drag.running) {
    widget->deleteLater();
  } else {
    delete widget;
  }
}

bool IsWindow(int window) { return Find(window, kKindWindow) != nullptr; }

void UseWindow(int window) {
  if (!IsWindow(window)) return;
  S().currentWindow = window;
  S().openPanels.clear();
}

int WindowX(int window) {
  Record* r = Find(window, kKindWindow);
  return r ? r->widget->geometry().x() : 0;
}

int WindowY(int window) {
  Record* r = Find(window, kKindWindow);
  return r ? r->widget->geometry().y() : 0;
}

// ---- gadgets --------------------------------------------------------------------

int CreatePanel(const char* name, int x, int y, int w, int h) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* tabs = new QTabWidget(parent);
  QObject::connect(tabs, &QTabWidget::currentChanged, [handle](int) {
    if (S().quiet == 0) Push(handle, kChange);
  });
  AddGadget(handle, kKindPanel, name, tabs, x, y, w, h);
  S().openPanels.push_back(handle);
  return handle;
}

void AddPanelTab(int panel, const Text& title) {
  Record* r = Find(panel, kKindPanel);
  if (!r) return;
  auto* tabs = static_cast<QTabWidget*>(r->widget.data());
  auto* page = new QWidget;
  {
    Quiet quiet;
    tabs->addTab(page, LabelToQString(title));
  }
  r->page = page;
}

void ClosePanel() {
  if (!S().openPanels.empty()) S().openPanels.pop_back();
}

bool IsGadget(int handle) {
  Record* r = Find(handle);
  return r && r->kind != kKindWindow;
}

int CreateCheckList(const char* name, int x, int y, int w, int h, const Text& firstColumnTitle,
                    int firstColumnWidth) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  QTreeWidget* list = NewCheckList(handle, parent);
  list->setColumnCount(1);
  list->headerItem()->setText(0, ToQString(firstColumnTitle));
  list->setColumnWidth(0, firstColumnWidth);
  return AddGadget(handle, kKindCheckList, name, list, x, y, w, h);
}

void AddListColumn(int list, int column, const Text& title, int width) {
  Record* r = Find(list, kKindCheckList);
  if (!r || column < 0 || column > 255) return;
  QTreeWidget* view = TreeWidget(*r);
  if (column >= view->columnCount()) view->setColumnCount(column + 1);
  view->headerItem()->setText(column, ToQString(title));
  view->setColumnWidth(column, width);
}

int CreateIconList(const char* name, int x, int y, int w, int h) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* list = new IconList(handle, parent);
  list->setViewMode(QListView::IconMode);
  list->setIconSize(QSize(32, 32));
  list->setMovement(QListView::Static);
  list->setResizeMode(QListView::Adjust);
  list->setFlow(QListView::LeftToRight);
  list->setWrapping(true);
  list->setWordWrap(true);
  list->setSpacing(6);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setDragEnabled(false);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return AddGadget(handle, kKindIconList, name, list, x, y, w, h);
}

int CreateTree(const char* name, int x, int y, int w, int h) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  QTreeWidget* tree = NewTree(handle, parent);
  S().records[static_cast<size_t>(handle)].tree = std::make_unique<TreeData>();
  return AddGadget(handle, kKindTree, name, tree, x, y, w, h);
}

int CreateCheckBox(const char* name, int x, int y, int w, int h, const Text& label) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* box = new QCheckBox(LabelToQString(label), parent);
  QObject::connect(box, &QCheckBox::clicked, [handle](bool) { Push(handle, kLeftClick); });
  return AddGadget(handle, kKindCheckBox, name, box, x, y, w, h);
}

int CreateButton(const char* name, int x, int y, int w, int h, const Text& label,
                 bool defaultStyle) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* button = new QPushButton(LabelToQString(label), parent);
  button->setAutoDefault(false);
  button->setDefault(defaultStyle);
  QObject::connect(button, &QPushButton::clicked, [handle](bool) { Push(handle, kLeftClick); });
  return AddGadget(handle, kKindButton, name, button, x, y, w, h);
}

int CreateComboBox(const char* name, int x, int y, int w, int h) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* combo = new QComboBox(parent);
  // activated comes from the user only, not from the backend's own changes.
  QObject::connect(combo, &QComboBox::activated, [handle](int) { Push(handle, kChange); });
  return AddGadget(handle, kKindCombo, name, combo, x, y, w, h);
}

int CreateTextLabel(const char* name, int x, int y, int w, int h, const Text& text) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(ToQString(text));
  return AddGadget(handle, kKindText, name, label, x, y, w, h);
}

int CreatePictureBox(const char* name, int x, int y, int w, int h) {
  QWidget* parent = Container();
  if (!parent) return 0;
  const int handle = NewHandle();
  auto* label = new QLabel(parent);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return AddGadget(handle, kKindPicture, name, label, x, y, w, h);
}

void EnableTextDrop(int gadget) {
  Record* r = Find(gadget, kKindTree);
  if (!r) return;
  r->tree->dropTarget = true;
  auto* tree = TreeWidget(*r);
  tree->setAcceptDrops(true);
  tree->viewport()->setAcceptDrops(true);
}

void HideGadget(int gadget, bool hide) {
  Record* r = Find(gadget);
  if (r && r->kind != kKindWindow) r->widget->setHidden(hide);
}

bool IsGadgetHidden(int gadget) {
  Record* r = Find(gadget);
  return r ? r->widget->isHidden() : false;
}

int GadgetWidth(int gadget) {
  Record* r = Find(gadget);
  return r ? r->widget->width() : 0;
}

int GadgetHeight(int gadget) {
  Record* r = Find(gadget);
  return r ? r->widget->height() : 0;
}

int GetState(int gadget) {
  Record* r = Find(gadget);
  if (!r) return 0;
  switch (r->kind) {
    case kKindCheckBox:
      return static_cast<QCheckBox*>(r->widget.data())->isChecked() ? 1 : 0;
    case kKindCheckList:
      return FirstSelectedRow(TreeWidget(*r));
    case kKindIconList:
      return FirstSelectedRow(static_cast<QListWidget*>(r->widget.data()));
    case kKindTree:
      return TreeCurrent(*r);
    case kKindPanel:
      return static_cast<QTabWidget*>(r->widget.data())->currentIndex();
    case kKindCombo:
      return static_cast<QComboBox*>(r->widget.data())->currentIndex();
    case kKindPicture:
      return r->picture;
    default:
      return 0;
  }
}

void SetState(int gadget, int value) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindCheckBox:
      static_cast<QCheckBox*>(r->widget.data())->setChecked(value != 0);
      break;
    case kKindCheckList: {
      QTreeWidget* list = TreeWidget(*r);
      list->clearSelection();
      if (Item* row = ListRow(*r, value)) {
        list->setCurrentItem(row, 0,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      } else {
        list->setCurrentItem(nullptr);
      }
      break;
    }
    case kKindIconList: {
      auto* list = static_cast<QListWidget*>(r->widget.data());
      list->clearSelection();
      if (QListWidgetItem* row = IconRow(*r, value)) {
        list->setCurrentItem(row, QItemSelectionModel::ClearAndSelect);
      } else {
        list->setCurrentItem(nullptr);
      }
      break;
    }
    case kKindTree:
      TreeSetCurrent(*r, value);
      break;
    case kKindPanel: {
      auto* tabs = static_cast<QTabWidget*>(r->widget.data());
      if (value >= 0 && value < tabs->count()) tabs->setCurrentIndex(value);
      break;
    }
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      if (value >= -1 && value < combo->count()) combo->setCurrentIndex(value);
      break;
    }
    case kKindPicture: {
      auto* label = static_cast<QLabel*>(r->widget.data());
      State& s = S();
      if (value > 0 && value <= static_cast<int>(s.pictures.size())) {
        r->picture = value;
        label->setPixmap(s.pictures[static_cast<size_t>(value - 1)]);
      } else {
        r->picture = 0;
        label->clear();
      }
      break;
    }
    default:
      break;
  }
}

Text GetText(int gadget) {
  Record* r = Find(gadget);
  if (!r) return Text();
  switch (r->kind) {
    case kKindWindow:
      return FromQString(r->widget->windowTitle());
    case kKindText:
      return FromQString(static_cast<QLabel*>(r->widget.data())->text());
    case kKindCheckBox:
    case kKindButton:
      return LabelFromQString(static_cast<QAbstractButton*>(r->widget.data())->text());
    case kKindCombo:
      return FromQString(static_cast<QComboBox*>(r->widget.data())->currentText());
    case kKindPanel: {
      auto* tabs = static_cast<QTabWidget*>(r->widget.data());
      return LabelFromQString(tabs->tabText(tabs->currentIndex()));
    }
    case kKindCheckList:
    case kKindIconList:
    case kKindTree:
      return GetItemText(gadget, GetState(gadget), 0);
    default:
      return Text();
  }
}

void SetText(int gadget, const Text& text) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindWindow:
      r->widget->setWindowTitle(ToQString(text));
      break;
    case kKindText:
      static_cast<QLabel*>(r->widget.data())->setText(ToQString(text));
      break;
    case kKindCheckBox:
    case kKindButton:
      static_cast<QAbstractButton*>(r->widget.data())->setText(LabelToQString(text));
      break;
    case kKindCombo:
      static_cast<QComboBox*>(r->widget.data())->setCurrentText(ToQString(text));
      break;
    default:
      break;
  }
}

// ---- rows and items -----------------------------------------------------------

void AddItem(int gadget, int position, const Text& text, int picture, int level) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindCheckList: {
      QTreeWidget* list = TreeWidget(*r);
      auto* row = new Item;
      row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
                    Qt::ItemNeverHasChildren);
      row->setText(0, ToQString(text));
      row->setCheckState(0, Qt::Unchecked);
      if (picture > 0) row->setIcon(0, PictureIcon(picture));
      const int count = list->topLevelItemCount();
      if (position < 0 || position >= count) {
        list->addTopLevelItem(row);
      } else {
        list->insertTopLevelItem(position, row);
      }
      break;
    }
    case kKindIconList: {
      auto* list = static_cast<QListWidget*>(r->widget.data());
      auto* row = new QListWidgetItem(PictureIcon(picture), ToQString(text));
      row->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
      const int count = list->count();
      list->insertItem(position < 0 || position >= count ? count : position, row);
      break;
    }
    case kKindTree:
      TreeAdd(*r, position, text, picture, level);
      break;
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      const int count = combo->count();
      combo->insertItem(position < 0 || position >= count ? count : position, PictureIcon(picture),
                        ToQString(text));
      break;
    }
    default:
      break;
  }
}

void RemoveItem(int gadget, int index) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindCheckList:
      delete ListRow(*r, index);
      break;
    case kKindIconList:
      if (IconRow(*r, index)) delete static_cast<QListWidget*>(r->widget.data())->takeItem(index);
      break;
    case kKindTree:
      TreeRemove(*r, index);
      break;
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      if (index >= 0 && index < combo->count()) combo->removeItem(index);
      break;
    }
    default:
      break;
  }
}

void ClearItems(int gadget) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindCheckList:
      TreeWidget(*r)->clear();
      break;
    case kKindIconList:
      static_cast<QListWidget*>(r->widget.data())->clear();
      break;
    case kKindTree:
      TreeClear(*r);
      break;
    case kKindCombo:
      static_cast<QComboBox*>(r->widget.data())->clear();
      break;
    default:
      break;
  }
}

int CountItems(int gadget) {
  Record* r = Find(gadget);
  if (!r) return 0;
  switch (r->kind) {
    case kKindCheckList:
      return TreeWidget(*r)->topLevelItemCount();
    case kKindIconList:
      return static_cast<QListWidget*>(r->widget.data())->count();
    case kKindTree:
      return static_cast<int>(r->tree->flat.size());
    case kKindCombo:
      return static_cast<QComboBox*>(r->widget.data())->count();
    case kKindPanel:
      return static_cast<QTabWidget*>(r->widget.data())->count();
    default:
      return 0;
  }
}

Text GetItemText(int gadget, int index, int column) {
  Record* r = Find(gadget);
  if (!r || column < 0) return Text();
  switch (r->kind) {
    case kKindCheckList: {
      Item* row = ListRow(*r, index);
      return row && column < row->columnCount() ? FromQString(row->text(column)) : Text();
    }
    case kKindIconList: {
      QListWidgetItem* row = IconRow(*r, index);
      return row && column == 0 ? FromQString(row->text()) : Text();
    }
    case kKindTree: {
      Item* item = TreeItem(*r, index);
      return item && column == 0 ? FromQString(item->text(0)) : Text();
    }
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      return index >= 0 && index < combo->count() && column == 0 ? FromQString(combo->itemText(index))
                                                                  : Text();
    }
    case kKindPanel: {
      auto* tabs = static_cast<QTabWidget*>(r->widget.data());
      return index >= 0 && index < tabs->count() && column == 0
                 ? LabelFromQString(tabs->tabText(index))
                 : Text();
    }
    default:
      return Text();
  }
}

void SetItemText(int gadget, int index, const Text& text, int column) {
  Record* r = Find(gadget);
  if (!r || column < 0) return;
  Quiet quiet;
  switch (r->kind) {
    case kKindCheckList:
      if (Item* row = ListRow(*r, index)) {
        if (column < TreeWidget(*r)->columnCount()) row->setText(column, ToQString(text));
      }
      break;
    case kKindIconList:
      if (QListWidgetItem* row = IconRow(*r, index); row && column == 0) row->setText(ToQString(text));
      break;
    case kKindTree:
      if (Item* item = TreeItem(*r, index); item && column == 0) item->setText(0, ToQString(text));
      break;
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      if (index >= 0 && index < combo->count() && column == 0) {
        combo->setItemText(index, ToQString(text));
      }
      break;
    }
    case kKindPanel: {
      auto* tabs = static_cast<QTabWidget*>(r->widget.data());
      if (index >= 0 && index < tabs->count() && column == 0) {
        tabs->setTabText(index, LabelToQString(text));
      }
      break;
    }
    default:
      break;
  }
}

int GetItemState(int gadget, int index) {
  Record* r = Find(gadget);
  if (!r) return 0;
  switch (r->kind) {
    case kKindCheckList: {
      Item* row = ListRow(*r, index);
      if (!row) return 0;
      return (row->isSelected() ? kItemHighlighted : 0) |
             (row->checkState(0) == Qt::Checked ? kItemTicked : 0);
    }
    case kKindIconList: {
      QListWidgetItem* row = IconRow(*r, index);
      return row && row->isSelected() ? kItemHighlighted : 0;
    }
    case kKindTree: {
      Item* item = TreeItem(*r, index);
      return item && item->isSelected() ? kItemHighlighted : 0;
    }
    case kKindCombo: {
      auto* combo = static_cast<QComboBox*>(r->widget.data());
      return index >= 0 && index == combo->currentIndex() ? kItemHighlighted : 0;
    }
    default:
      return 0;
  }
}

void SetItemState(int gadget, int index, int state) {
  Record* r = Find(gadget);
  if (!r) return;
  Quiet quiet;
  const bool highlighted = (state & kItemHighlighted) != 0;
  switch (r->kind) {
    case kKindCheckList:
      if (Item* row = ListRow(*r, index)) {
        row->setSelected(highlighted);
        row->ticked = (state & kItemTicked) != 0;
        row->setCheckState(0, row->ticked ? Qt::Checked : Qt::Unchecked);
      }
      break;
    case kKindIconList:
      if (QListWidgetItem* row = IconRow(*r, index)) {
        if (highlighted) {
          SetState(gadget, index);
        } else {
          row->setSelected(false);
        }
      }
      break;
    case kKindTree:
      if (Item* item = TreeItem(*r, index)) {
        if (highlighted) {
          TreeSetCurrent(*r, index);
        } else {
          item->setSelected(false);
        }
      }
      break;
    case kKindCombo:
      if (highlighted) SetState(gadget, index);
      break;
    default:
      break;
  }
}

int GetItemLevel(int tree, int index) {
  Record* r = Find(tree, kKindTree);
  Item* item = r ? TreeItem(*r, index) : nullptr;
  return item ? item->level : -1;
}

int GetItemColour(int tree, int index) {
  Record* r = Find(tree, kKindTree);
  Item* item = r ? TreeItem(*r, index) : nullptr;
  return item ? item->colour : kDefaultColour;
}

void SetItemColour(int tree, int index, int colour) {
  Record* r = Find(tree, kKindTree);
  Item* item = r ? TreeItem(*r, index) : nullptr;
  // An unchanged colour costs the view nothing (unmarking a whole tree).
  if (!item || item->colour == (colour < 0 ? kDefaultColour : colour)) return;
  Quiet quiet;
  SetItemBackground(item, colour);
}

// ---- pictures -------------------------------------------------------------------

int CreatePicture(int width, int height, const std::vector<uint8_t>& rgba) {
  State& s = S();
  if (!s.app || width <= 0 || height <= 0 || width > 16384 || height > 16384) return 0;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  if (rgba.size() != rowBytes * static_cast<size_t>(height)) return 0;
  QImage image(width, height, QImage::Format_RGBA8888);
  if (image.isNull()) return 0;
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.scanLine(y), rgba.data() + rowBytes * static_cast<size_t>(y), rowBytes);
  }
  s.pictures.push_back(QPixmap::fromImage(image));
  return static_cast<int>(s.pictures.size());
}

// ---- message boxes and requesters ---------------------------------------------

int ShowMessage(const Text& title, const Text& text, int flags) {
  const bool yesNo = flags == kMessageYesNo;
  if (!S().app) return yesNo ? kAnswerNo : kAnswerOk;
  QMessageBox box(yesNo ? QMessageBox::Question : QMessageBox::Information, ToQString(title),
                  MessageToQString(text),
                  yesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok, DialogParent());
  box.setTextFormat(Qt::PlainText);
  box.setObjectName(QStringLiteral("MessageBox"));
  const int answer = box.exec();
  if (!yesNo) return kAnswerOk;
  return answer == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

Text OpenFileRequester(const Text& title, const Text& proposedFile, const Text& filter) {
  if (!S().app) return Text();
  const QString folder = QDir::currentPath();
  const QString path = QFileDialog::getOpenFileName(DialogParent(), ToQString(title),
                                                    RequesterStart(proposedFile),
                                                    FileFilterToQt(filter), nullptr,
                                                    QFileDialog::DontUseNativeDialog);
  RestoreWorkingFolder(folder);
  return FromQString(path);
}

Text SaveFileRequester(const Text& title, const Text& proposedFile, const Text& filter) {
  if (!S().app) return Text();
  const QString folder = QDir::currentPath();
  // The program decides about replacing a file; the dialog does not ask.
  const QString path = QFileDialog::getSaveFileName(DialogParent(), ToQString(title),
                                                    RequesterStart(proposedFile),
                                                    FileFilterToQt(filter), nullptr,
                                                    QFileDialog::DontConfirmOverwrite |
                                                        QFileDialog::DontUseNativeDialog);
  RestoreWorkingFolder(folder);
  return FromQString(path);
}

Text FolderRequester(const Text& title, const Text& initialFolder) {
  if (!S().app) return Text();
  const QString working = QDir::currentPath();
  QString folder = QFileDialog::getExistingDirectory(DialogParent(), ToQString(title),
                                                     ToQString(initialFolder),
                                                     QFileDialog::ShowDirsOnly |
                                                         QFileDialog::DontUseNativeDialog);
  RestoreWorkingFolder(working);
  if (folder.isEmpty()) return Text();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return FromQString(folder);
}

bool SaveWindowImage(int window, const Text& path) {
  Record* r = Find(window, kKindWindow);
  if (!r) return false;
  const QImage image = r->widget->grab().toImage();
  if (image.isNull()) return false;
  QByteArray png;
  QBuffer buffer(&png);
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) return false;
  return WriteFileAtomically(path, std::string(png.constData(), static_cast<size_t>(png.size())));
}

// ---- events ---------------------------------------------------------------------

Event WaitEvent() {
  State& s = S();
  if (!s.app) return Event();
  while (s.queue.empty()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    FlushDeferredDeletes();
    s.frames.Restart();
  }
  return Take();
}

Event PollEvent() {
  State& s = S();
  if (!s.app) return Event();
  ProcessEventsOncePerFrame();
  if (s.queue.empty()) return Event();
  return Take();
}

int EventDropKind() { return S().lastTaken.dropKind; }
Text EventDropText() { return S().lastTaken.dropText; }
int EventDropAction() { return S().lastTaken.dropAction; }

void SetDragCallback(DragCallback callback) { S().dragCallback = callback; }

void SetLabelEditCallback(int window, LabelEditCallback callback) {
  if (Record* r = Find(window, kKindWindow)) r->labelEdit = callback;
}

}  // namespace gui
