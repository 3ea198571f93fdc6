// Start-up, the handler table, the event loop's close rules and the tab change
// of the main window.
#include "program_harness.h"

#include "common/files.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace {

int g_calls[3];
int FirstHandler(int, int, int, int) { return ++g_calls[0]; }
int SecondHandler(int, int, int, int) { return ++g_calls[1]; }

class SpineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ResetProgramState();
    g_calls[0] = g_calls[1] = g_calls[2] = 0;
  }
  TempWorkFolder folder_;
};

TEST_F(SpineTest, FirstRegisteredHandlerWinsAndUnknownGadgetsAreIgnored) {
  const int window = gui::OpenWindow("W", 0, 0, 100, 100, TXT("w"), 0);
  const int button = gui::CreateButton("B", 0, 0, 10, 10, TXT("b"), false);
  const int other = gui::CreateButton("C", 0, 0, 10, 10, TXT("c"), false);
  RegisterHandler(button, FirstHandler);
  RegisterHandler(button, SecondHandler);
  RegisterHandler(9999, SecondHandler);   // names no gadget
  RegisterHandler(window, SecondHandler);  // a window is no gadget
  EXPECT_EQ(Shell.HandlerTable.size(), 2u);

  DispatchEvent(window, gui::kEventGadget, button, gui::kLeftClick);
  DispatchEvent(window, gui::kEventGadget, other, gui::kLeftClick);  // no entry: nothing
  DispatchEvent(window, gui::kEventGadget, 9999, gui::kLeftClick);
  EXPECT_EQ(g_calls[0], 1);
  EXPECT_EQ(g_calls[1], 0);
}

TEST_F(SpineTest, StartUpCreatesOutputFoldersAndEndsWithZero) {
  headless::QueueFileAnswer(Text());
  EXPECT_EQ(RunProgramSteps({[] {
              EXPECT_EQ(TextToUtf8(Shell.ProgramFolder), TextToUtf8(FromFsPath(fs::current_path())) + "/");
            }}),
            0);
  EXPECT_TRUE(fs::is_directory("ALL"));
  EXPECT_TRUE(fs::is_directory("FTA"));
}

TEST_F(SpineTest, ExistingOutputFoldersAreNoError) {
  fs::create_directories("ALL/keep");
  fs::create_directories("FTA");
  headless::QueueFileAnswer(Text());
  EXPECT_EQ(RunProgramSteps({}), 0);
  EXPECT_TRUE(fs::is_directory("ALL/keep"));
}

TEST_F(SpineTest, OutputFolderPathsHaveOneSeparatorAndTrailingJunkIsStripped) {
  Shell.OutputFolder = Utf8ToText(fs::current_path().string()) + TXT("/sub/");
  fs::create_directories("sub");
  CreateOutputSubfolders();
  EXPECT_EQ(Shell.AllFolder, Shell.OutputFolder + TXT("ALL/"));
  EXPECT_TRUE(fs::is_directory("sub/ALL"));
  EXPECT_TRUE(fs::is_directory("sub/FTA"));
  EXPECT_EQ(WithTrailingSeparator(TXT("/a/b/")), TXT("/a/b/"));
  EXPECT_EQ(WithTrailingSeparator(TXT("/a/b")), TXT("/a/b/"));
}

TEST_F(SpineTest, CloseOfAnotherWindowDoesNotEndTheLoop) {
  headless::QueueFileAnswer(Text());
  int stray = 0;
  EXPECT_EQ(RunProgramSteps({[&] {
                               stray = gui::OpenWindow("Stray", 0, 0, 10, 10, TXT("s"), 0);
                               gui::UseWindow(Gadgets.MainWindow);
                               headless::UserClose(stray);
                             },
                             [&] { EXPECT_TRUE(gui::IsWindow(Gadgets.MainWindow)); }}),
            0);
}

TEST_F(SpineTest, TabChangeSwitchesBetweenVersionTextAndStatusLines) {
  headless::QueueFileAnswer(Text());
  RunProgramSteps({
      [] {
        // Right after start-up the outcome of loading the settings is shown.
        EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.VersionText)), "Loaded ovn_settings.xml");
        EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.StatusLine1));
        EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.StatusLine2));
        headless::UserChooseTab(Gadgets.MainPanel, 2);
      },
      [] {
        EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.VersionText));
        EXPECT_FALSE(gui::IsGadgetHidden(Gadgets.StatusLine1));
        EXPECT_FALSE(gui::IsGadgetHidden(Gadgets.StatusLine2));
        headless::UserChooseTab(Gadgets.MainPanel, 1);
      },
      [] {
        EXPECT_FALSE(gui::IsGadgetHidden(Gadgets.VersionText));
        EXPECT_EQ(gui::GetText(Gadgets.VersionText), kVersionText);
        EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.StatusLine1));
        EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.StatusLine2));
      },
  });
  EXPECT_EQ(TextToUtf8(kVersionText).rfind("VersionDate 2018-05-14", 0), 0u);
}

TEST_F(SpineTest, MainWindowHasEveryGadgetInItsPlace) {
  headless::QueueFileAnswer(Text());
  RunProgramSteps({[] {
    EXPECT_EQ(headless::WindowTitle(Gadgets.MainWindow), TXT("Orbvane in XML, <eXpat/> compatible"));
    EXPECT_EQ(gui::CountItems(Gadgets.MainPanel), 3);
    EXPECT_EQ(gui::GetItemText(Gadgets.MainPanel, 2), TXT("Drag/Drop bouquets"));
    EXPECT_EQ(gui::CountItems(Gadgets.ListPanel), 4);
    EXPECT_TRUE(gui::IsGadgetHidden(Gadgets.FtaMarkCombo));
    EXPECT_EQ(gui::GetItemText(Gadgets.FtaMarkCombo, 1), TXT(" \"FTA\"  prefix service"));
    EXPECT_EQ(gui::GetState(Gadgets.DoubleIdentCheck), 1);
    EXPECT_EQ(gui::GetState(Gadgets.ServicesFileCheck), 1);
    EXPECT_EQ(gui::GetState(Gadgets.FindWithinSatelliteCheck), 1);
    EXPECT_EQ(gui::GetState(Gadgets.RemoveNotFoundCheck), 1);
    EXPECT_EQ(gui::GetState(Gadgets.MoveServicesCheck), 0);
    EXPECT_TRUE(headless::IsDefaultButton(Gadgets.DownloadButton));
    EXPECT_TRUE(headless::IsDefaultButton(Gadgets.SaveLeftButton));
    EXPECT_FALSE(headless::IsDefaultButton(Gadgets.LoadLeftButton));
    EXPECT_EQ(gui::GadgetWidth(Gadgets.RightTree), 290);
    EXPECT_EQ(gui::GadgetHeight(Gadgets.SatelliteList), 478);
  }});
}

}  // namespace
