// Headless backend of the GUI facility: what it adds to gui.h for tests and
// the scenario driver.
//
// Gadgets live in memory. User actions are simulated with the User* functions,
// which change gadget state the way a click would and push the event. Every
// message box and requester is logged; requesters, Yes/No boxes and dialog
// windows take their answers from scripted queues (OK-only boxes are answered
// at once). A request with no scripted answer is a scenario failure: it calls
// Fail, which throws ScriptFailure. gui::ExitProgram throws ProgramExit so that
// a test or the driver gets control back when the program ends. The program's
// own code never throws; these exceptions only unwind it to the harness.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/gui.h"

namespace headless {

struct ProgramExit {
  int code = 0;
};

struct ScriptFailure {
  std::string reason;
};

// One message box or requester as it happened.
struct DialogRecord {
  std::string kind;    // "message", "question", "open-file", "save-file", "folder", "dialog"
  Text title;
  Text text;           // message text, proposed file or initial folder
  std::string answer;  // "OK", "Yes", "No", a path, "cancel" or a gadget name
};

// Forgets every window, gadget, picture, queued answer, event and hook.
void Reset();

// ---- scripted answers ----------------------------------------------------------
void QueueFileAnswer(const Text& path);  // empty text: cancel
void QueueFolderAnswer(const Text& path);
void QueueYesNoAnswer(bool yes);
void QueueDialogAnswer(const std::string& gadgetName);
// Answers still queued, one description each.
std::vector<std::string> UnusedAnswers();

// Log of every message box and requester since Reset.
const std::vector<DialogRecord>& DialogLog();
// Called for each record as it happens (the driver prints them).
void SetDialogHook(std::function<void(const DialogRecord&)> hook);

// Called by WaitEvent when no event is queued; it should push events (the
// driver runs scenario lines). When it returns false, or pushes nothing, the
// program would wait for ever: that is a failure.
void SetEventPump(std::function<bool()> pump);

// Throws ScriptFailure.
[[noreturn]] void Fail(const std::string& reason);

// ---- looking at gadgets ----------------------------------------------------------
// Latest open window or gadget with that name, 0 when none.
int FindWindow(const std::string& name);
int FindGadget(const std::string& name);
std::string NameOf(int handle);
Text WindowTitle(int window);
// Picture shown by an icon-list row, 0 none.
int ItemPicture(int gadget, int index);
// Width and height of a picture, 0 when unknown.
int PictureWidth(int picture);
bool IsDefaultButton(int gadget);
// Every open window and gadget in a line format (see docs/scenario.md).
std::string Dump();

// ---- simulated user actions --------------------------------------------------------
void PushEvent(const gui::Event& event);
size_t PendingEvents();
// A click of the given type. With row >= 0 on a list or tree, that row becomes
// the only highlighted and the current one first; a left click on a check box
// toggles it first.
void UserClick(int gadget, int type, int row = -1);
void UserTick(int gadget, int row, bool on);            // no event
void UserHighlight(int gadget, const std::vector<int>& rows);  // no event; empty: none
void UserChooseTab(int panel, int tab);                 // then kChange
void UserChoose(int combo, int item);                   // then kChange
void UserShift(bool down);
// Makes the item current and pushes kDragStart for the tree.
void UserDrag(int tree, int item);
// The next StartTextDrag ends with a drop on the tree over item (-1: empty space).
void ScriptDrop(int tree, int item);
// A text dragged from another program is dropped on the tree over item (-1:
// empty space); the item becomes current and the drop event is pushed.
void UserDropText(int tree, int item, const Text& text);
// The pointer, in the inner coordinates of the gadget.
void UserPointer(int gadget, int x, int y);
// Ends the label edit in progress with the text (nullptr: cancelled); false
// when no edit is in progress.
bool UserEndLabelEdit(const Text* text);
bool LabelEditInProgress();
void UserClose(int window);

}  // namespace headless
