// Headless backend of the GUI facility.
//
// Implements every function of gui.h on gadgets held in memory, plus the test
// surface of gui_headless.h. What it lacks: no pixels are drawn, pointer
// positions are only what UserPointer set, and a drag never moves by itself:
// StartTextDrag ends at once, with the drop that ScriptDrop set up or abandoned.
#include "platform/gui_headless.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>

#include "common/encoding.h"

namespace {

enum class Kind { Window, Panel, CheckList, IconList, Tree, CheckBox, Button, Combo, TextLabel, Picture };

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Window: return "window";
    case Kind::Panel: return "panel";
    case Kind::CheckList: return "checklist";
    case Kind::IconList: return "iconlist";
    case Kind::Tree: return "tree";
    case Kind::CheckBox: return "checkbox";
    case Kind::Button: return "button";
    case Kind::Combo: return "combo";
    case Kind::TextLabel: return "text";
    case Kind::Picture: return "picture";
  }
  return "?";
}

struct Row {
  std::vector<Text> columns;
  int picture = 0;
  int level = 0;
  int colour = gui::kDefaultColour;
  bool ticked = false;
  bool highlighted = false;
};

struct Widget {
  int handle = 0;
  std::string name;
  Kind kind = Kind::Window;
  int window = 0;       // owning window (itself for a window)
  int parent = 0;       // panel holding it, 0 when directly in the window
  int parentTab = -1;   // tab of that panel
  int x = 0, y = 0, w = 0, h = 0;
  int flags = 0;
  Text text;            // label, title or text
  int state = 0;        // tick, tab, choice or picture
  int current = -1;     // current row or item of lists and trees
  bool hidden = false;
  bool defaultStyle = false;
  bool acceptsDrop = false;
  bool labelEditing = false;
  int batchDepth = 0;   // trees: open BeginTreeBatch calls
  std::vector<Text> columnTitles;
  std::vector<Row> rows;   // rows, tree items, combo items, tabs (column 0)
  gui::LabelEditCallback labelEditCallback = nullptr;
};

struct Container {
  int window = 0;
  int panel = 0;
  int tab = -1;
};

struct HeadlessState {
  int nextHandle = 1;
  std::map<int, std::unique_ptr<Widget>> widgets;  // ordered by creation
  Container current;
  std::vector<Container> panelStack;  // open panels, innermost last
  std::deque<gui::Event> events;
  std::vector<std::pair<int, int>> pictures;  // width, height of picture n + 1

  std::deque<Text> fileAnswers;
  std::deque<Text> folderAnswers;
  std::deque<bool> yesNoAnswers;
  std::deque<std::string> dialogAnswers;
  std::vector<headless::DialogRecord> log;
  std::function<void(const headless::DialogRecord&)> dialogHook;
  std::function<bool()> pump;

  bool shift = false;
  int pointerGadget = 0;
  int pointerX = 0, pointerY = 0;

  gui::DragCallback dragCallback = nullptr;
  int dropTree = 0;
  int dropItem = -1;
  bool dropScripted = false;
  int lastDropKind = gui::kDropNone;
  Text lastDropText;
  int lastDropAction = gui::kDragNone;

  int editTree = 0;
  int editItem = -1;
};

HeadlessState S;

Widget* Find(int handle) {
  auto it = S.widgets.find(handle);
  return it == S.widgets.end() ? nullptr : it->second.get();
}

Widget* FindKind(int handle, std::initializer_list<Kind> kinds) {
  Widget* w = Find(handle);
  if (!w) return nullptr;
  for (Kind k : kinds)
    if (w->kind == k) return w;
  return nullptr;
}

bool HasRows(const Widget& w) {
  return w.kind == Kind::CheckList || w.kind == Kind::IconList || w.kind == Kind::Tree ||
         w.kind == Kind::Combo;
}

bool IsList(const Widget& w) { return w.kind == Kind::CheckList || w.kind == Kind::IconList; }

// Stores a new window or gadget record and returns its handle.
int AddWidget(const char* name, Kind kind, const Container& place, int x, int y, int w, int h,
              const Text& text, int flags = 0) {
  auto widget = std::make_unique<Widget>();
  widget->handle = S.nextHandle++;
  widget->name = name ? name : "";
  widget->kind = kind;
  widget->window = kind == Kind::Window ? widget->handle : place.window;
  widget->parent = place.panel;
  widget->parentTab = place.tab;
  widget->x = x;
  widget->y = y;
  widget->w = w;
  widget->h = h;
  widget->flags = flags;
  widget->text = text;
  const int handle = widget->handle;
  S.widgets[handle] = std::move(widget);
  return handle;
}

// A gadget in the current container: the window, or the open tab of a panel.
int NewWidget(const char* name, Kind kind, int x, int y, int w, int h, const Text& text) {
  if (S.current.window == 0 || !Find(S.current.window)) return 0;
  return AddWidget(name, kind, S.current, x, y, w, h, text);
}

void Record(const char* kind, const Text& title, const Text& text, const std::string& answer) {
  headless::DialogRecord record{kind, title, text, answer};
  S.log.push_back(record);
  if (S.dialogHook) S.dialogHook(record);
}

std::string Quote(const Text& text) {
  std::string out = "\"";
  for (char c : TextToUtf8(text)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

void SetCurrentRow(Widget& w, int row) {
  if (row < 0 || row >= static_cast<int>(w.rows.size())) row = -1;
  for (Row& r : w.rows) r.highlighted = false;
  w.current = row;
  if (row >= 0) w.rows[row].highlighted = true;
}

int FirstHighlighted(const Widget& w) {
  for (size_t i = 0; i < w.rows.size(); ++i)
    if (w.rows[i].highlighted) return static_cast<int>(i);
  return -1;
}

// Absolute inner position of a gadget: the window's place plus every panel's.
void AbsolutePosition(const Widget& w, int& x, int& y) {
  x = w.x;
  y = w.y;
  if (w.kind == Kind::Window) return;
  const Widget* p = Find(w.parent);
  while (p) {
    x += p->x;
    y += p->y;
    p = Find(p->parent);
  }
  if (const Widget* win = Find(w.window)) {
    x += win->x;
    y += win->y;
  }
}

int OpenDialogWindow() {
  for (auto it = S.widgets.rbegin(); it != S.widgets.rend(); ++it)
    if (it->second->kind == Kind::Window && (it->second->flags & gui::kWindowDialog))
      return it->first;
  return 0;
}

}  // namespace

// ============================================================================
namespace gui {

void Init(int&, char**) {}
void Shutdown() {}
void ExitProgram(int code) { throw headless::ProgramExit{code}; }

int OpenWindow(const char* name, int x, int y, int innerWidth, int innerHeight, const Text& title,
               int flags) {
  const bool centred = (flags & kWindowCentered) != 0;
  const int handle = AddWidget(name, Kind::Window, Container{}, centred ? (1024 - innerWidth) / 2 : x,
                               centred ? (768 - innerHeight) / 2 : y, innerWidth, innerHeight,
                               title, flags);
  S.current = Container{handle, 0, -1};
  S.panelStack.clear();
  return handle;
}

void CloseWindow(int window) {
  if (!FindKind(window, {Kind::Window})) return;
  for (auto it = S.widgets.begin(); it != S.widgets.end();) {
    if (it->second->window == window)
      it = S.widgets.erase(it);
    else
      ++it;
  }
  if (S.current.window == window) {
    S.current = Container{};
    S.panelStack.clear();
  }
  if (S.editTree && !Find(S.editTree)) S.editTree = 0;
}

bool IsWindow(int window) { return FindKind(window, {Kind::Window}) != nullptr; }

void UseWindow(int window) {
  if (!IsWindow(window)) return;
  S.current = Container{window, 0, -1};
  S.panelStack.clear();
}

int WindowX(int window) {
  const Widget* w = FindKind(window, {Kind::Window});
  return w ? w->x : 0;
}

int WindowY(int window) {
  const Widget* w = FindKind(window, {Kind::Window});
  return w ? w->y : 0;
}

int CreatePanel(const char* name, int x, int y, int w, int h) {
  const int handle = NewWidget(name, Kind::Panel, x, y, w, h, Text());
  if (handle) {
    S.panelStack.push_back(S.current);
    S.current = Container{S.current.window, handle, -1};
  }
  return handle;
}

void AddPanelTab(int panel, const Text& title) {
  Widget* p = FindKind(panel, {Kind::Panel});
  if (!p) return;
  Row tab;
  tab.columns.push_back(title);
  p->rows.push_back(tab);
  if (S.current.panel == panel) S.current.tab = static_cast<int>(p->rows.size()) - 1;
}

void ClosePanel() {
  if (S.panelStack.empty()) return;
  S.current = S.panelStack.back();
  S.panelStack.pop_back();
}

bool IsGadget(int handle) {
  const Widget* w = Find(handle);
  return w && w->kind != Kind::Window;
}

int CreateCheckList(const char* name, int x, int y, int w, int h, const Text& firstColumnTitle,
                    int firstColumnWidth) {
  const int handle = NewWidget(name, Kind::CheckList, x, y, w, h, Text());
  if (Widget* list = Find(handle)) list->columnTitles.push_back(firstColumnTitle);
  return handle;
}

void AddListColumn(int list, int column, const Text& title, int width) {
  Widget* l = FindKind(list, {Kind::CheckList});
  if (!l) return;
  column = std::clamp(column, 0, static_cast<int>(l->columnTitles.size()));
  l->columnTitles.insert(l->columnTitles.begin() + column, title);
}

int CreateIconList(const char* name, int x, int y, int w, int h) {
  return NewWidget(name, Kind::IconList, x, y, w, h, Text());
}

int CreateTree(const char* name, int x, int y, int w, int h) {
  return NewWidget(name, Kind::Tree, x, y, w, h, Text());
}

int CreateCheckBox(const char* name, int x, int y, int w, int h, const Text& label) {
  return NewWidget(name, Kind::CheckBox, x, y, w, h, label);
}

int CreateButton(const char* name, int x, int y, int w, int h, const Text& label,
                 bool defaultStyle) {
  const int handle = NewWidget(name, Kind::Button, x, y, w, h, label);
  if (Widget* b = Find(handle)) b->defaultStyle = defaultStyle;
  return handle;
}

int CreateComboBox(const char* name, int x, int y, int w, int h) {
  const int handle = NewWidget(name, Kind::Combo, x, y, w, h, Text());
  if (Widget* c = Find(handle)) c->state = -1;
  return handle;
}

int CreateTextLabel(const char* name, int x, int y, int w, int h, const Text& text) {
  return NewWidget(name, Kind::TextLabel, x, y, w, h, text);
}

int CreatePictureBox(const char* name, int x, int y, int w, int h) {
  return NewWidget(name, Kind::Picture, x, y, w, h, Text());
}

void EnableTextDrop(int gadget) {
  if (Widget* w = Find(gadget)) w->acceptsDrop = true;
}

void HideGadget(int gadget, bool hide) {
  if (Widget* w = Find(gadget)) w->hidden = hide;
}

bool IsGadgetHidden(int gadget) {
  const Widget* w = Find(gadget);
  return w ? w->hidden : false;
}

int GadgetWidth(int gadget) {
  const Widget* w = Find(gadget);
  return w ? w->w : 0;
}

int GadgetHeight(int gadget) {
  const Widget* w = Find(gadget);
  return w ? w->h : 0;
}

int GetState(int gadget) {
  const Widget* w = Find(gadget);
  if (!w) return -1;
  switch (w->kind) {
    case Kind::CheckList:
    case Kind::IconList: return FirstHighlighted(*w);
    case Kind::Tree: return w->current;
    case Kind::CheckBox:
    case Kind::Panel:
    case Kind::Combo:
    case Kind::Picture: return w->state;
    default: return 0;
  }
}

void SetState(int gadget, int value) {
  Widget* w = Find(gadget);
  if (!w) return;
  switch (w->kind) {
    case Kind::CheckList:
    case Kind::IconList:
    case Kind::Tree: SetCurrentRow(*w, value); break;
    case Kind::CheckBox: w->state = value ? 1 : 0; break;
    case Kind::Panel:
      if (value >= 0 && value < static_cast<int>(w->rows.size())) w->state = value;
      break;
    case Kind::Combo:
      w->state = (value >= 0 && value < static_cast<int>(w->rows.size())) ? value : -1;
      break;
    case Kind::Picture:
      w->state = (value > 0 && value <= static_cast<int>(S.pictures.size())) ? value : 0;
      break;
    default: break;
  }
}

Text GetText(int gadget) {
  const Widget* w = Find(gadget);
  if (!w) return Text();
  if (w->kind == Kind::Combo)
    return (w->state >= 0 && w->state < static_cast<int>(w->rows.size()))
               ? w->rows[w->state].columns[0]
               : Text();
  if (w->kind == Kind::Tree || IsList(*w)) return Text();
  return w->text;
}

void SetText(int gadget, const Text& text) {
  Widget* w = Find(gadget);
  if (!w || HasRows(*w)) return;
  w->text = text;
}

void AddItem(int gadget, int position, const Text& text, int picture, int level) {
  Widget* w = Find(gadget);
  if (!w) return;
  if (w->kind == Kind::Panel) {
    AddPanelTab(gadget, text);
    return;
  }
  if (!HasRows(*w)) return;
  Row row;
  row.columns.push_back(text);
  row.picture = picture;
  row.level = w->kind == Kind::Tree ? std::max(0, level) : 0;
  const int count = static_cast<int>(w->rows.size());
  if (position < 0 || position > count) position = count;
  w->rows.insert(w->rows.begin() + position, row);
  if (w->current >= position) ++w->current;
  if (S.editTree == gadget && S.editItem >= position) ++S.editItem;
}

void RemoveItem(int gadget, int index) {
  Widget* w = Find(gadget);
  if (!w || !HasRows(*w) || index < 0 || index >= static_cast<int>(w->rows.size())) return;
  w->rows.erase(w->rows.begin() + index);
  if (w->current == index)
    w->current = -1;
  else if (w->current > index)
    --w->current;
  if (w->kind == Kind::Combo && w->state >= static_cast<int>(w->rows.size())) w->state = -1;
  if (S.editTree == gadget) {
    if (S.editItem == index)
      S.editTree = 0;
    else if (S.editItem > index)
      --S.editItem;
  }
}

void ClearItems(int gadget) {
  Widget* w = Find(gadget);
  if (!w || !HasRows(*w)) return;
  w->rows.clear();
  w->current = -1;
  if (w->kind == Kind::Combo) w->state = -1;
  if (S.editTree == gadget) S.editTree = 0;
}

int CountItems(int gadget) {
  const Widget* w = Find(gadget);
  return (w && (HasRows(*w) || w->kind == Kind::Panel)) ? static_cast<int>(w->rows.size()) : 0;
}

Text GetItemText(int gadget, int index, int column) {
  const Widget* w = Find(gadget);
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size()) || column < 0) return Text();
  const Row& row = w->rows[index];
  return column < static_cast<int>(row.columns.size()) ? row.columns[column] : Text();
}

void SetItemText(int gadget, int index, const Text& text, int column) {
  Widget* w = Find(gadget);
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size()) || column < 0 || column > 63)
    return;
  Row& row = w->rows[index];
  if (column >= static_cast<int>(row.columns.size())) row.columns.resize(column + 1);
  row.columns[column] = text;
}

int GetItemState(int gadget, int index) {
  const Widget* w = Find(gadget);
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return 0;
  const Row& row = w->rows[index];
  return (row.highlighted ? kItemHighlighted : 0) | (row.ticked ? kItemTicked : 0);
}

void SetItemState(int gadget, int index, int state) {
  Widget* w = Find(gadget);
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return;
  Row& row = w->rows[index];
  row.ticked = (state & kItemTicked) != 0;
  if (w->kind == Kind::Tree || w->kind == Kind::IconList) {
    // One highlighted item at a time: highlighting makes it the current one.
    if (state & kItemHighlighted)
      SetCurrentRow(*w, index);
    else if (w->current == index)
      SetCurrentRow(*w, -1);
  } else {
    row.highlighted = (state & kItemHighlighted) != 0;
  }
}

int GetItemLevel(int tree, int index) {
  const Widget* w = FindKind(tree, {Kind::Tree});
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return 0;
  return w->rows[index].level;
}

int GetItemColour(int tree, int index) {
  const Widget* w = FindKind(tree, {Kind::Tree});
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return kDefaultColour;
  return w->rows[index].colour;
}

void SetItemColour(int tree, int index, int colour) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return;
  w->rows[index].colour = colour;
}

void BeginTreeBatch(int tree) {
  if (Widget* w = FindKind(tree, {Kind::Tree})) ++w->batchDepth;
}

void EndTreeBatch(int tree) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w) return;
  if (w->batchDepth == 0) headless::Fail("EndTreeBatch without BeginTreeBatch on " + w->name);
  --w->batchDepth;
}

void SetTreeLabelEditing(int tree, bool on) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w) return;
  w->labelEditing = on;
  if (!on && S.editTree == tree) S.editTree = 0;
}

void EditTreeLabel(int tree, int item) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w || !w->labelEditing || item < 0 || item >= static_cast<int>(w->rows.size())) return;
  S.editTree = tree;
  S.editItem = item;
}

void SetLabelEditCallback(int window, LabelEditCallback callback) {
  if (Widget* w = FindKind(window, {Kind::Window})) w->labelEditCallback = callback;
}

void SetDragCallback(DragCallback callback) { S.dragCallback = callback; }

int StartTextDrag(const Text& text, int action) {
  if (!S.dropScripted) return kDragNone;
  S.dropScripted = false;
  Widget* target = FindKind(S.dropTree, {Kind::Tree});
  if (S.dragCallback && !S.dragCallback(target && target->acceptsDrop ? action : kDragNone))
    return kDragNone;
  if (!target || !target->acceptsDrop) return kDragNone;
  SetCurrentRow(*target, S.dropItem);
  S.lastDropKind = kDropText;
  S.lastDropText = text;
  S.lastDropAction = action;
  S.events.push_back(Event{kEventGadgetDrop, target->handle, kEventTypeNone, target->window});
  return action;
}

int EventDropKind() { return S.lastDropKind; }
Text EventDropText() { return S.lastDropText; }
int EventDropAction() { return S.lastDropAction; }

// Pointer position relative to the gadget, far outside when unknown.
namespace {
std::pair<int, int> PointerRelativeTo(int gadget) {
  const Widget* w = Find(gadget);
  const Widget* p = Find(S.pointerGadget);
  if (!w || !p) return {-100000, -100000};
  int wx, wy, px, py;
  AbsolutePosition(*w, wx, wy);
  AbsolutePosition(*p, px, py);
  return {px + S.pointerX - wx, py + S.pointerY - wy};
}
}  // namespace

int PointerX(int gadget) { return PointerRelativeTo(gadget).first; }
int PointerY(int gadget) { return PointerRelativeTo(gadget).second; }

void ScrollTreeLine(int tree, bool up) {
  // Scrolling is recorded in the tree's state value: lines scrolled down.
  if (Widget* w = FindKind(tree, {Kind::Tree})) w->state += up ? -1 : 1;
}

bool ShiftKeyDown() { return S.shift; }

int CreatePicture(int width, int height, const std::vector<uint8_t>& rgba) {
  if (width <= 0 || height <= 0 ||
      rgba.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    return 0;
  S.pictures.emplace_back(width, height);
  return static_cast<int>(S.pictures.size());
}

int ShowMessage(const Text& title, const Text& text, int flags) {
  if (flags & kMessageYesNo) {
    if (S.yesNoAnswers.empty())
      headless::Fail("unanswered question \"" + TextToUtf8(title) + "\": " + TextToUtf8(text));
    const bool yes = S.yesNoAnswers.front();
    S.yesNoAnswers.pop_front();
    Record("question", title, text, yes ? "Yes" : "No");
    return yes ? kAnswerYes : kAnswerNo;
  }
  Record("message", title, text, "OK");
  return kAnswerOk;
}

namespace {
Text TakeFileAnswer(const char* kind, const Text& title, const Text& proposed) {
  if (S.fileAnswers.empty())
    headless::Fail(std::string("unanswered ") + kind + " requester \"" + TextToUtf8(title) + "\"");
  Text answer = S.fileAnswers.front();
  S.fileAnswers.pop_front();
  Record(kind, title, proposed, answer.empty() ? "cancel" : TextToUtf8(answer));
  return answer;
}
}  // namespace

Text OpenFileRequester(const Text& title, const Text& proposedFile, const Text&) {
  return TakeFileAnswer("open-file", title, proposedFile);
}

Text SaveFileRequester(const Text& title, const Text& proposedFile, const Text&) {
  return TakeFileAnswer("save-file", title, proposedFile);
}

Text FolderRequester(const Text& title, const Text& initialFolder) {
  if (S.folderAnswers.empty())
    headless::Fail("unanswered folder requester \"" + TextToUtf8(title) + "\"");
  Text answer = S.folderAnswers.front();
  S.folderAnswers.pop_front();
  Record("folder", title, initialFolder, answer.empty() ? "cancel" : TextToUtf8(answer));
  return answer;
}

bool SaveWindowImage(int, const Text&) { return false; }

Event WaitEvent() {
  if (S.events.empty()) {
    // A dialog waiting for its buttons takes the next scripted dialog answer.
    if (const int dialog = OpenDialogWindow()) {
      const Widget* win = Find(dialog);
      if (S.dialogAnswers.empty())
        headless::Fail("unanswered dialog \"" + TextToUtf8(win->text) + "\"");
      const std::string name = S.dialogAnswers.front();
      S.dialogAnswers.pop_front();
      for (auto& [handle, w] : S.widgets) {
        if (w->window == dialog && w->name == name && w->kind != Kind::Window) {
          Record("dialog", win->text, Text(), name);
          return Event{kEventGadget, handle, kLeftClick, dialog};
        }
      }
      headless::Fail("dialog \"" + TextToUtf8(win->text) + "\" has no gadget " + name);
    }
    if (S.pump) S.pump();
    if (S.events.empty()) headless::Fail("the program waits for an event but none is left");
  }
  Event event = S.events.front();
  S.events.pop_front();
  return event;
}

Event PollEvent() {
  if (S.events.empty()) return Event{};
  Event event = S.events.front();
  S.events.pop_front();
  return event;
}

}  // namespace gui

// ============================================================================
namespace headless {

void Reset() { S = HeadlessState{}; }

void QueueFileAnswer(const Text& path) { S.fileAnswers.push_back(path); }
void QueueFolderAnswer(const Text& path) { S.folderAnswers.push_back(path); }
void QueueYesNoAnswer(bool yes) { S.yesNoAnswers.push_back(yes); }
void QueueDialogAnswer(const std::string& gadgetName) { S.dialogAnswers.push_back(gadgetName); }

std::vector<std::string> UnusedAnswers() {
  std::vector<std::string> out;
  for (const Text& t : S.fileAnswers) out.push_back("file " + (t.empty() ? "cancel" : TextToUtf8(t)));
  for (const Text& t : S.folderAnswers)
    out.push_back("folder " + (t.empty() ? "cancel" : TextToUtf8(t)));
  for (bool yes : S.yesNoAnswers) out.push_back(yes ? "yes" : "no");
  for (const std::string& d : S.dialogAnswers) out.push_back("dialog " + d);
  return out;
}

const std::vector<DialogRecord>& DialogLog() { return S.log; }
void SetDialogHook(std::function<void(const DialogRecord&)> hook) { S.dialogHook = std::move(hook); }
void SetEventPump(std::function<bool()> pump) { S.pump = std::move(pump); }

void Fail(const std::string& reason) { throw ScriptFailure{reason}; }

int FindWindow(const std::string& name) {
  for (auto it = S.widgets.rbegin(); it != S.widgets.rend(); ++it)
    if (it->second->kind == Kind::Window && it->second->name == name) return it->first;
  return 0;
}

int FindGadget(const std::string& name) {
  for (auto it = S.widgets.rbegin(); it != S.widgets.rend(); ++it)
    if (it->second->kind != Kind::Window && it->second->name == name) return it->first;
  return 0;
}

std::string NameOf(int handle) {
  const Widget* w = Find(handle);
  return w ? w->name : std::string();
}

Text WindowTitle(int window) {
  const Widget* w = FindKind(window, {Kind::Window});
  return w ? w->text : Text();
}

int ItemPicture(int gadget, int index) {
  const Widget* w = Find(gadget);
  if (!w || index < 0 || index >= static_cast<int>(w->rows.size())) return 0;
  return w->rows[index].picture;
}

int PictureWidth(int picture) {
  if (picture < 1 || picture > static_cast<int>(S.pictures.size())) return 0;
  return S.pictures[picture - 1].first;
}

bool IsDefaultButton(int gadget) {
  const Widget* w = FindKind(gadget, {Kind::Button});
  return w && w->defaultStyle;
}

std::string Dump() {
  std::string out;
  for (const auto& [handle, w] : S.widgets) {
    out += w->name.empty() ? "(unnamed)" : w->name;
    out += " kind=";
    out += KindName(w->kind);
    if (w->kind == Kind::Window) {
      out += " title=" + Quote(w->text) + "\n";
      continue;
    }
    out += " text=" + Quote(gui::GetText(handle));
    out += " state=" + std::to_string(gui::GetState(handle));
    out += w->hidden ? " hidden" : " visible";
    if (w->batchDepth > 0) out += " batch=" + std::to_string(w->batchDepth);
    if (w->kind == Kind::Tree && w->state != 0) out += " scrolled=" + std::to_string(w->state);
    out += "\n";
    for (size_t i = 0; i < w->rows.size(); ++i) {
      const Row& r = w->rows[i];
      out += "  " + std::to_string(i);
      for (size_t c = 0; c < r.columns.size(); ++c) out += " " + Quote(r.columns[c]);
      if (w->kind == Kind::CheckList) out += r.ticked ? " ticked" : " unticked";
      if (w->kind != Kind::Panel && w->kind != Kind::Combo)
        out += r.highlighted ? " highlighted" : "";
      if (w->kind == Kind::Tree)
        out += " level=" + std::to_string(r.level) + " colour=" + std::to_string(r.colour);
      if (w->kind == Kind::IconList) out += " picture=" + std::to_string(r.picture);
      out += "\n";
    }
  }
  return out;
}

void PushEvent(const gui::Event& event) { S.events.push_back(event); }
size_t PendingEvents() { return S.events.size(); }

void UserClick(int gadget, int type, int row) {
  Widget* w = Find(gadget);
  if (!w) return;
  if (row >= 0 && (IsList(*w) || w->kind == Kind::Tree)) SetCurrentRow(*w, row);
  if (w->kind == Kind::CheckBox && type == gui::kLeftClick) w->state = w->state ? 0 : 1;
  PushEvent(gui::Event{gui::kEventGadget, gadget, type, w->window});
}

void UserTick(int gadget, int row, bool on) {
  Widget* w = Find(gadget);
  if (!w || row < 0 || row >= static_cast<int>(w->rows.size())) return;
  w->rows[row].ticked = on;
}

void UserHighlight(int gadget, const std::vector<int>& rows) {
  Widget* w = Find(gadget);
  if (!w) return;
  SetCurrentRow(*w, -1);
  for (int row : rows)
    if (row >= 0 && row < static_cast<int>(w->rows.size())) {
      w->rows[row].highlighted = true;
      if (w->current < 0) w->current = row;
    }
}

void UserChooseTab(int panel, int tab) {
  Widget* w = FindKind(panel, {Kind::Panel});
  if (!w) return;
  gui::SetState(panel, tab);
  PushEvent(gui::Event{gui::kEventGadget, panel, gui::kChange, w->window});
}

void UserChoose(int combo, int item) {
  Widget* w = FindKind(combo, {Kind::Combo});
  if (!w) return;
  gui::SetState(combo, item);
  PushEvent(gui::Event{gui::kEventGadget, combo, gui::kChange, w->window});
}

void UserShift(bool down) { S.shift = down; }

void UserDrag(int tree, int item) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w) return;
  SetCurrentRow(*w, item);
  PushEvent(gui::Event{gui::kEventGadget, tree, gui::kDragStart, w->window});
}

void ScriptDrop(int tree, int item) {
  S.dropScripted = true;
  S.dropTree = tree;
  S.dropItem = item;
}

void UserDropText(int tree, int item, const Text& text) {
  Widget* w = FindKind(tree, {Kind::Tree});
  if (!w || !w->acceptsDrop) return;
  SetCurrentRow(*w, item);
  S.lastDropKind = gui::kDropText;
  S.lastDropText = text;
  S.lastDropAction = gui::kDragCopy;
  PushEvent(gui::Event{gui::kEventGadgetDrop, tree, gui::kEventTypeNone, w->window});
}

void UserPointer(int gadget, int x, int y) {
  S.pointerGadget = gadget;
  S.pointerX = x;
  S.pointerY = y;
}

bool LabelEditInProgress() { return S.editTree != 0 && Find(S.editTree) != nullptr; }

bool UserEndLabelEdit(const Text* text) {
  if (!LabelEditInProgress()) return false;
  const int tree = S.editTree;
  const int item = S.editItem;
  S.editTree = 0;
  Widget* t = Find(tree);
  Widget* win = Find(t->window);
  int answer = gui::kEditDefault;
  if (win && win->labelEditCallback) answer = win->labelEditCallback(t->window, tree, item, text);
  t = Find(tree);
  if (text && answer == gui::kEditAccept && t && item < static_cast<int>(t->rows.size()))
    t->rows[item].columns[0] = *text;
  return true;
}

void UserClose(int window) {
  if (!gui::IsWindow(window)) return;
  PushEvent(gui::Event{gui::kEventCloseWindow, 0, gui::kEventTypeNone, window});
}

}  // namespace headless
