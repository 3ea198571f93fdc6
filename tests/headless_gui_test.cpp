// The headless GUI backend: gadget state, scripted answers, drops and label
// edits behave as the Qt backend does, so end-to-end tests can trust it.
#include <gtest/gtest.h>

#include "common/encoding.h"
#include "platform/gui.h"
#include "platform/gui_headless.h"

namespace {

int g_lastAnswer = gui::kEditAccept;
Text g_editedText;
int EditEnded(int, int, int, const Text* text) {
  g_editedText = text ? *text : TXT("<cancelled>");
  return g_lastAnswer;
}

bool g_dragAsked = false;
bool DragGoesOn(int action) {
  g_dragAsked = action == gui::kDragCopy;
  return true;
}

class HeadlessGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    window_ = gui::OpenWindow("W", 10, 20, 400, 300, TXT("W"), 0);
    panel_ = gui::CreatePanel("P", 5, 5, 300, 200);
    gui::AddPanelTab(panel_, TXT("one"));
    tree_ = gui::CreateTree("T", 10, 10, 100, 100);
    gui::ClosePanel();
    list_ = gui::CreateCheckList("L", 0, 0, 50, 50, TXT("c"), 40);
  }
  int window_ = 0, panel_ = 0, tree_ = 0, list_ = 0;
};

TEST_F(HeadlessGuiTest, TreeItemsByFlatIndexKeepTheCurrentItem) {
  gui::AddItem(tree_, -1, TXT("type"), 0, 0);
  gui::AddItem(tree_, -1, TXT("bouquet"), 0, 1);
  gui::AddItem(tree_, -1, TXT("b"), 0, 2);
  gui::SetState(tree_, 2);
  gui::AddItem(tree_, 2, TXT("a"), 0, 2);  // before the current item
  EXPECT_EQ(gui::GetState(tree_), 3);
  EXPECT_EQ(gui::GetItemText(tree_, 2), TXT("a"));
  gui::RemoveItem(tree_, 0);
  EXPECT_EQ(gui::GetState(tree_), 2);
  gui::RemoveItem(tree_, 2);
  EXPECT_EQ(gui::GetState(tree_), -1);
  gui::SetItemColour(tree_, 0, 16499204);
  EXPECT_EQ(gui::GetItemColour(tree_, 0), 16499204);
  EXPECT_EQ(gui::GetItemColour(tree_, 1), gui::kDefaultColour);
  EXPECT_EQ(gui::GetItemLevel(tree_, 1), 2);
  // Unknown handles and indexes do nothing.
  gui::RemoveItem(tree_, 99);
  gui::SetItemText(4711, 0, TXT("x"));
  EXPECT_EQ(gui::GetItemText(tree_, -1), Text());
  EXPECT_EQ(gui::CountItems(4711), 0);
}

TEST_F(HeadlessGuiTest, ListRowsHoldTickAndHighlightApart) {
  for (const Char* t : {TXT("a"), TXT("b"), TXT("c")}) gui::AddItem(list_, -1, t);
  gui::SetItemText(list_, 1, TXT("col1"), 1);
  gui::SetItemState(list_, 2, gui::kItemTicked | gui::kItemHighlighted);
  gui::SetItemState(list_, 1, gui::kItemHighlighted);
  EXPECT_EQ(gui::GetState(list_), 1) << "first highlighted row";
  EXPECT_EQ(gui::GetItemState(list_, 2), gui::kItemTicked | gui::kItemHighlighted);
  EXPECT_EQ(gui::GetItemText(list_, 1, 1), TXT("col1"));
  headless::UserClick(list_, gui::kLeftClick, 0);
  EXPECT_EQ(gui::GetItemState(list_, 2), gui::kItemTicked) << "a click highlights only its row";
  const gui::Event e = gui::PollEvent();
  EXPECT_EQ(e.kind, gui::kEventGadget);
  EXPECT_EQ(e.gadget, list_);
  EXPECT_EQ(e.window, window_);
  EXPECT_EQ(gui::PollEvent().kind, gui::kEventNone);
}

TEST_F(HeadlessGuiTest, RequestsTakeTheirOwnQueuesAndUnansweredOnesFail) {
  headless::QueueYesNoAnswer(false);
  headless::QueueFileAnswer(TXT("/x/y.txt"));
  headless::QueueFolderAnswer(Text());
  EXPECT_EQ(gui::FolderRequester(TXT("F"), TXT("/")), Text());
  EXPECT_EQ(gui::ShowMessage(TXT("Q"), TXT("a\rb"), gui::kMessageYesNo), gui::kAnswerNo);
  EXPECT_EQ(gui::ShowMessage(TXT("I"), TXT("info"), gui::kMessageOk), gui::kAnswerOk);
  EXPECT_EQ(gui::SaveFileRequester(TXT("S"), TXT("p"), TXT("*.txt")), TXT("/x/y.txt"));
  EXPECT_TRUE(headless::UnusedAnswers().empty());
  ASSERT_EQ(headless::DialogLog().size(), 4u);
  EXPECT_EQ(headless::DialogLog()[1].answer, "No");
  EXPECT_THROW(gui::OpenFileRequester(TXT("O"), TXT(""), TXT("")), headless::ScriptFailure);
  EXPECT_THROW(gui::ShowMessage(TXT("Q"), TXT("?"), gui::kMessageYesNo), headless::ScriptFailure);
  EXPECT_THROW(gui::WaitEvent(), headless::ScriptFailure) << "waiting with nothing left";
}

TEST_F(HeadlessGuiTest, DialogWindowTakesItsScriptedButton) {
  const int dialog = gui::OpenWindow("D", 0, 0, 100, 50, TXT("Ask"), gui::kWindowDialog);
  const int keep = gui::CreateButton("KeepButton", 0, 0, 10, 10, TXT("Keep"), false);
  headless::QueueDialogAnswer("KeepButton");
  const gui::Event e = gui::WaitEvent();
  EXPECT_EQ(e.gadget, keep);
  EXPECT_EQ(e.window, dialog);
  EXPECT_THROW(gui::WaitEvent(), headless::ScriptFailure);
  gui::CloseWindow(dialog);
  EXPECT_FALSE(gui::IsGadget(keep));
}

TEST_F(HeadlessGuiTest, ScriptedDropArrivesAfterTheDragWithTheTargetItemCurrent) {
  gui::EnableTextDrop(tree_);
  for (int i = 0; i < 3; ++i) gui::AddItem(tree_, -1, TXT("item"), 0, 0);
  gui::SetDragCallback(DragGoesOn);
  headless::UserDrag(tree_, 0);
  EXPECT_EQ(gui::WaitEvent().type, gui::kDragStart);
  EXPECT_EQ(gui::GetState(tree_), 0);
  headless::ScriptDrop(tree_, 2);
  EXPECT_EQ(gui::StartTextDrag(TXT("7 0"), gui::kDragCopy), gui::kDragCopy);
  EXPECT_TRUE(g_dragAsked);
  const gui::Event drop = gui::WaitEvent();
  EXPECT_EQ(drop.kind, gui::kEventGadgetDrop);
  EXPECT_EQ(gui::GetState(tree_), 2);
  EXPECT_EQ(gui::EventDropText(), TXT("7 0"));
  // Without a scripted drop the drag is abandoned.
  EXPECT_EQ(gui::StartTextDrag(TXT("7 0"), gui::kDragCopy), gui::kDragNone);
  // The pointer in the tree's coordinates, set relative to the window's panel.
  headless::UserPointer(panel_, 15, 12);
  EXPECT_EQ(gui::PointerX(tree_), 5);
  EXPECT_EQ(gui::PointerY(tree_), 2);
}

TEST_F(HeadlessGuiTest, LabelEditEndsThroughTheWindowCallback) {
  gui::AddItem(tree_, -1, TXT("old"), 0, 0);
  gui::SetLabelEditCallback(window_, EditEnded);
  gui::EditTreeLabel(tree_, 0);
  EXPECT_FALSE(headless::LabelEditInProgress()) << "editing is off";
  gui::SetTreeLabelEditing(tree_, true);
  const Text typed = TXT("new");
  for (int answer : {gui::kEditReject, gui::kEditDefault, gui::kEditAccept}) {
    g_lastAnswer = answer;
    gui::EditTreeLabel(tree_, 0);
    EXPECT_TRUE(headless::UserEndLabelEdit(&typed));
    EXPECT_EQ(g_editedText, typed);
    EXPECT_EQ(gui::GetItemText(tree_, 0), answer == gui::kEditAccept ? typed : TXT("old"));
  }
  gui::EditTreeLabel(tree_, 0);
  EXPECT_TRUE(headless::UserEndLabelEdit(nullptr));
  EXPECT_EQ(g_editedText, TXT("<cancelled>"));
  EXPECT_FALSE(headless::UserEndLabelEdit(&typed)) << "no edit in progress";
}

}  // namespace
