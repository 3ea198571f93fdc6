// Renders the main window's tabs, the TRDF window and the double service
// ident dialog into PNG files, so the layout can be looked at without a
// display (run with QT_QPA_PLATFORM=offscreen).
// Usage: ovn_screenshots OUTPUT_FOLDER
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "bouquets/bouqets.h"
#include "common/encoding.h"
#include "common/files.h"
#include "platform/gui.h"
#include "listing/htmllib.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/satellites_tab.h"
#include "shell/settings.h"

namespace fs = std::filesystem;

namespace {

// PollEvent lets the toolkit work at most once per screen frame.
void Settle() {
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(17));
    gui::PollEvent();
  }
}

bool Shoot(int window, const fs::path& file) {
  Settle();
  const bool ok = gui::SaveWindowImage(window, FromFsPath(file));
  std::cout << (ok ? "wrote " : "FAILED ") << file.string() << std::endl;
  return ok;
}

void AddSampleRows() {
  const Char* countries[] = {TXT("Austria"), TXT("France"), TXT("Germany"), TXT("Italy")};
  for (const Char* c : countries) gui::AddItem(Gadgets.CountryList, -1, c);
  gui::SetItemState(Gadgets.CountryList, 2, gui::kItemTicked);
}

// The two trees of the third tab loaded from the sample bouquet files, the
// bouquet "Italy" dropped into the right tree, three services marked.
void LoadSampleTrees() {
  const fs::path samples = fs::path(OVN_SOURCE_DIR) / "tests" / "fixtures" / "trees";
  // The samples are UTF-8; each build gets them in its own file encoding.
  for (const char* name : {"left.txt", "export.txt"}) {
    std::string bytes;
    ReadFileBytes(FromFsPath(samples / name), bytes);
    WriteFileAtomically(FromFsPath(name), TextToFileBytes(Utf8ToText(bytes)));
  }
  LoadBouquetFileFrom(Gadgets.LeftTree, TXT("left.txt"));
  LoadBouquetFileFrom(Gadgets.RightTree, TXT("export.txt"));
  auto mark = [](int tree, int from, int to) {
    for (int i = from; i <= to; ++i) {
      (*TreeNodes(tree))[static_cast<size_t>(i)].mark = 1;
      gui::SetItemColour(tree, i, Bouquets.MarkedColour);
    }
  };
  mark(Gadgets.LeftTree, 5, 7);
  gui::SetState(Gadgets.RightTree, 5);
  DropItems(Gadgets.RightTree, Gadgets.LeftTree, 5);
  mark(Gadgets.LeftTree, 2, 4);
  gui::SetState(Gadgets.LeftTree, 4);
  gui::SetState(Gadgets.RightTree, -1);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path out = fs::absolute(argc > 1 ? fs::path(argv[1]) : fs::path("screenshots"));
  const fs::path work = out / "work";
  fs::create_directories(work / "ovn_work");
  for (const auto& entry : fs::directory_iterator(fs::path(OVN_SOURCE_DIR) / "data" / "ovn_work"))
    fs::copy_file(entry.path(), work / "ovn_work" / entry.path().filename(),
                  fs::copy_options::overwrite_existing);
  fs::current_path(work);
  fs::remove("ovn_settings.xml");

  gui::Init(argc, argv);
  ResetProgramState();
  Shell.ProgramFolder = WithTrailingSeparator(WorkingFolder());
  Shell.OutputFolder = Shell.ProgramFolder;
  BuildMainWindow();
  WriteFirstRunSettings(false);
  LoadSettings();
  AddSampleRows();
  LoadSampleTrees();

  bool ok = true;
  const char* tabs[] = {"satellites_tab.png", "bouquets_tab.png", "trees_tab.png"};
  for (int tab = 0; tab < 3; ++tab) {
    gui::SetState(Gadgets.MainPanel, tab);
    MainPanelChanged(Gadgets.MainWindow, gui::kEventGadget, Gadgets.MainPanel, gui::kChange);
    ok &= Shoot(Gadgets.MainWindow, out / tabs[tab]);
  }
  gui::SetState(Gadgets.MainPanel, 0);
  gui::SetState(Gadgets.SatellitePanel, 1);
  ok &= Shoot(Gadgets.MainWindow, out / "language_tab.png");
  gui::SetState(Gadgets.SatellitePanel, 0);

  // The end of a download: the summary in the bottom line.
  gui::SetText(Gadgets.VersionText,
               TXT("Done. Satellites:2 Transponders:140 Tvs:812 (HD/3D=97) Radios:301 Datas:12 Feeds:4"));
  ok &= Shoot(Gadgets.MainWindow, out / "download_done.png");
  gui::SetText(Gadgets.VersionText, kVersionText);

  int buttons[5];
  const int dialog = OpenDoubleIdentDialog(TXT("HOTBIRD 13B"), TXT("10719V"), TXT("28106"),
                                           TXT("Das Erste HD"), TXT("Das Erste"), buttons);
  ok &= Shoot(dialog, out / "double_ident_dialog.png");
  gui::CloseWindow(dialog);

  OpenTrdfWindow(1, SatelliteOfRow(1));
  gui::SetState(Trdf.TvKindCheck, 1);
  gui::SetState(Trdf.RadioKindCheck, 1);
  ok &= Shoot(Shell.TrdfWindow, out / "trdf_window.png");
  gui::Shutdown();
  return ok ? 0 : 1;
}
