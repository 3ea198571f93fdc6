// GUI facility: windows and gadgets addressed by integer handles, one event
// queue, message boxes and requesters.
//
// Two backends implement this header and are chosen at link time: gui_qt.cpp
// (Qt 6 Widgets, the program) and gui_headless.cpp (gadgets held in memory, for
// tests and the scenario driver). The program's logic includes only this header.
//
// Events: toolkit notifications only push events into the facility's queue;
// nothing of the program runs inside them. WaitEvent blocks for the next event;
// PollEvent takes one pending event without waiting (long work calls it to keep
// the window painted and drops what it gets); it lets the toolkit work at most
// once per screen frame, so calling it per item of long work is cheap. The two exceptions are callbacks
// that need an answer at once: the drag callback and the label-edit callback.
//
// Handles: windows and gadgets share one space of positive integers; 0 is none.
// Rows and tree items count from 0; tree items by their flat display index (a
// type item, then its bouquets each followed by its services, and so on).
// Every function accepts an unknown handle or index and then does nothing or
// returns the empty result (0, -1 or the empty text).
#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"

namespace gui {

// ---- event kinds and types -------------------------------------------------
enum EventKind : int {
  kEventNone = 0,  // PollEvent found nothing
  kEventGadget = 1,
  kEventGadgetDrop = 2,
  kEventCloseWindow = 3,
  kEventOther = 4,
};

enum EventType : int {
  kEventTypeNone = 0,
  kLeftClick = 1,        // buttons, check boxes, list and tree clicks
  kRightClick = 2,
  kLeftDoubleClick = 3,
  kDragStart = 4,        // trees: the user began to drag an item
  kChange = 5,           // tab panels, drop-down lists, a row's check box
};

struct Event {
  int kind = kEventNone;
  int gadget = 0;
  int type = kEventTypeNone;
  int window = 0;
};

// Drop kinds and drag actions.
enum DropKind : int { kDropNone = 0, kDropText = 1 };
enum DragAction : int { kDragNone = 0, kDragCopy = 1, kDragMove = 2 };

// Message boxes.
enum MessageFlags : int { kMessageOk = 0, kMessageYesNo = 1 };
enum MessageAnswer : int { kAnswerOk = 1, kAnswerYes = 2, kAnswerNo = 3 };

// Window flags.
enum WindowFlags : int {
  kWindowCentered = 1,  // centred on the screen, else placed at x, y
  kWindowDialog = 2,    // a dialog that the program waits on with its own loop
};

// Answers of the label-edit callback.
enum LabelEditAnswer : int { kEditDefault = 0, kEditReject = 1, kEditAccept = 2 };

// Item state bits of lists and trees.
constexpr int kItemHighlighted = 1;
constexpr int kItemTicked = 2;

// Colour value of an item that has no colour of its own (the tree's default).
constexpr int kDefaultColour = -1;

// ---- set-up -----------------------------------------------------------------
void Init(int& argc, char** argv);
void Shutdown();
// Ends the process with the exit code after releasing the facility. The
// headless backend instead unwinds to its caller (see gui_headless.h).
[[noreturn]] void ExitProgram(int code);

// ---- windows ------------------------------------------------------------------
// A window with a fixed inner size, a title bar and a close box, no resizing.
// Gadgets created afterwards go into it. name identifies it to tests.
int OpenWindow(const char* name, int x, int y, int innerWidth, int innerHeight,
               const Text& title, int flags);
void CloseWindow(int window);
bool IsWindow(int window);
// Makes the window the container of gadgets created from now on.
void UseWindow(int window);
// Inner position of a window on the screen.
int WindowX(int window);
int WindowY(int window);

// ---- gadgets --------------------------------------------------------------------
// Positions are x, y, width, height relative to the inner area of the container:
// the current window, or the open tab of the innermost open panel.
int CreatePanel(const char* name, int x, int y, int w, int h);
// Adds a tab; gadgets created afterwards go into it until the next tab or
// ClosePanel.
void AddPanelTab(int panel, const Text& title);
// Ends the content of the innermost open panel.
void ClosePanel();
// True while the handle names an existing gadget (not a window).
bool IsGadget(int handle);

// A list with report columns, a check box per row, several rows highlightable
// at once, whole-row highlight and grid lines.
int CreateCheckList(const char* name, int x, int y, int w, int h, const Text& firstColumnTitle,
                    int firstColumnWidth);
void AddListColumn(int list, int column, const Text& title, int width);
// A list shown as large icons, a picture per row, one row highlightable.
int CreateIconList(const char* name, int x, int y, int w, int h);
int CreateTree(const char* name, int x, int y, int w, int h);
int CreateCheckBox(const char* name, int x, int y, int w, int h, const Text& label);
int CreateButton(const char* name, int x, int y, int w, int h, const Text& label,
                 bool defaultStyle);
int CreateComboBox(const char* name, int x, int y, int w, int h);
int CreateTextLabel(const char* name, int x, int y, int w, int h, const Text& text);
int CreatePictureBox(const char* name, int x, int y, int w, int h);

// The gadget accepts dropped text, as copy or move.
void EnableTextDrop(int gadget);

void HideGadget(int gadget, bool hide);
bool IsGadgetHidden(int gadget);
int GadgetWidth(int gadget);
int GadgetHeight(int gadget);

// Check box: 1 ticked, 0 not. List and tree: the current (first highlighted)
// row or item, -1 none. Tab panel: current tab from 0. Drop-down list: chosen
// item. Picture box: the picture shown, 0 none.
int GetState(int gadget);
// Check box tick; list and tree: that row becomes the only highlighted and the
// current one (-1: none); tab panel: tab; drop-down list: choice; picture box:
// the picture to show (0: none).
void SetState(int gadget, int value);

Text GetText(int gadget);
void SetText(int gadget, const Text& text);

// ---- rows and items -----------------------------------------------------------
// Adds a row (lists, drop-down lists) or an item (trees) at position, or at the
// end for -1. A row may carry a picture, a tree item a depth level (0 top).
void AddItem(int gadget, int position, const Text& text, int picture = 0, int level = 0);
void RemoveItem(int gadget, int index);
void ClearItems(int gadget);
int CountItems(int gadget);
Text GetItemText(int gadget, int index, int column = 0);
void SetItemText(int gadget, int index, const Text& text, int column = 0);
// kItemHighlighted plus kItemTicked; setting replaces both.
int GetItemState(int gadget, int index);
void SetItemState(int gadget, int index, int state);
int GetItemLevel(int tree, int index);
// Background colour of a tree item, packed as 0xBBGGRR; kDefaultColour for none.
int GetItemColour(int tree, int index);
void SetItemColour(int tree, int index, int colour);

// Batch work on a tree (thousands of items added, removed or recoloured): from
// BeginTreeBatch to the matching EndTreeBatch the tree is neither laid out nor
// drawn; it shows the result once, at the end, with its current item and scroll
// place kept. Calls nest; every call of gui.h works as usual inside a batch.
void BeginTreeBatch(int tree);
void EndTreeBatch(int tree);

// ---- trees: in-place editing, drag and drop -------------------------------------
// Switches in-place label editing of a tree on or off.
void SetTreeLabelEditing(int tree, bool on);
// Begins editing the label of an item (editing must be switched on).
void EditTreeLabel(int tree, int item);
// Called when an in-place edit ends, with the new text or nullptr when it was
// cancelled; kEditAccept shows the new text, kEditReject keeps the old label,
// kEditDefault does what the toolkit does by itself (keeps the old label).
using LabelEditCallback = int (*)(int window, int tree, int item, const Text* newText);
void SetLabelEditCallback(int window, LabelEditCallback callback);

// Called repeatedly while a drag started by StartTextDrag is under way, with
// the action the pointer's place would take (kDragNone over no accepting
// place); returning false abandons the drag.
using DragCallback = bool (*)(int action);
void SetDragCallback(DragCallback callback);
// Starts a drag of a text, offered with the given action; returns when the drag
// ends, with the action taken (kDragNone when abandoned). A drop on a gadget
// that accepts text arrives afterwards as a kEventGadgetDrop event, and the
// item under the drop point (none over empty space) is then the tree's current
// item. The dragged item is made current before kDragStart is sent.
int StartTextDrag(const Text& text, int action);
// Data of the last drop event taken.
int EventDropKind();
Text EventDropText();
int EventDropAction();
// Pointer position relative to a gadget's inner area.
int PointerX(int gadget);
int PointerY(int gadget);
// Scrolls a tree by one line.
void ScrollTreeLine(int tree, bool up);
bool ShiftKeyDown();

// ---- pictures -------------------------------------------------------------------
// A picture from RGBA pixels (4 bytes per pixel, rows from the top), kept until
// exit. Returns its number (from 1), 0 on failure.
int CreatePicture(int width, int height, const std::vector<uint8_t>& rgba);
// Decodes a PNG file and creates its picture; 0 when it cannot be loaded.
int LoadPicture(const Text& path);

// ---- message boxes and requesters ---------------------------------------------
// A CR in text breaks the line. Returns kAnswerOk, kAnswerYes or kAnswerNo.
int ShowMessage(const Text& title, const Text& text, int flags);
// Path, or the empty text when cancelled. The working folder does not change.
Text OpenFileRequester(const Text& title, const Text& proposedFile, const Text& filter);
Text SaveFileRequester(const Text& title, const Text& proposedFile, const Text& filter);
// Folder path, or the empty text when cancelled.
Text FolderRequester(const Text& title, const Text& initialFolder);

// Renders a window's inner area into a PNG file (screenshots); false when the
// backend draws nothing or the file cannot be written.
bool SaveWindowImage(int window, const Text& path);

// ---- events ---------------------------------------------------------------------
Event WaitEvent();
Event PollEvent();

}  // namespace gui
