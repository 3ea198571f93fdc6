// Start-up, event loop, handler table and shutdown.
#include "shell/orbvane_xmlplus.h"

#include "common/files.h"
#include "platform/gui.h"
#include "platform/http_download.h"
#include "shell/main_window.h"
#include "shell/satellites_tab.h"
#include "shell/settings.h"
#include "shell/xml_defs.h"
#include "bouquets/bouqets.h"
#include "listing/htmllib.h"

const Text kWorkFolder = TXT("ovn_work") + kFolderSeparator;

ShellState Shell;

void RegisterHandler(int gadget, Handler handler) {
  if (handler == nullptr || !gui::IsGadget(gadget)) return;
  Shell.HandlerTable.push_back(HandlerEntry{gadget, handler});
}

void DispatchEvent(int window, int eventKind, int gadget, int eventType) {
  for (const HandlerEntry& entry : Shell.HandlerTable) {
    if (entry.gadget == gadget) {
      entry.handler(window, eventKind, gadget, eventType);
      return;
    }
  }
}

namespace {

// Strips trailing blanks, slashes and backslashes before creating the folder.
void CreateFolderQuietly(Text path) {
  while (!path.empty() && (path.back() == ' ' || path.back() == '/' || path.back() == '\\'))
    path.pop_back();
  if (!path.empty()) CreateFolder(path);
}

void RunEventLoop() {
  for (;;) {
    const gui::Event event = gui::WaitEvent();
    switch (event.kind) {
      case gui::kEventGadget:
      case gui::kEventGadgetDrop:
        DispatchEvent(event.window, event.kind, event.gadget, event.type);
        break;
      case gui::kEventCloseWindow:
        if (Shell.TrdfWindow != 0 && event.window == Shell.TrdfWindow) {
          CloseTrdfWindow();
        } else if (event.window == Gadgets.MainWindow) {
          return;
        }
        break;
      default:
        break;
    }
  }
}

}  // namespace

void CreateOutputSubfolders() {
  Shell.AllFolder = Shell.OutputFolder + TXT("ALL") + kFolderSeparator;
  Shell.FtaFolder = Shell.OutputFolder + TXT("FTA") + kFolderSeparator;
  CreateFolderQuietly(Shell.AllFolder);
  CreateFolderQuietly(Shell.FtaFolder);
}

void ResetProgramState() {
  Shell = ShellState{};
  Gadgets = MainGadgets{};
  Trdf = TrdfState{};
  ResetDocuments();
  ResetListingState();
  ResetBouquetState();
}

void RunProgram() {
  ResetProgramState();
  Shell.ProgramFolder = WithTrailingSeparator(WorkingFolder());
  Shell.OutputFolder = Shell.ProgramFolder;
  CreateOutputSubfolders();
  Shell.TrdfWindow = 0;
  Shell.DoubleIdentDialog = 0;
  // PNG decoding needs no set-up: each picture is decoded on its own.
  BuildMainWindow();
  gui::PollEvent();  // shows the window before any requester of the settings
  LoadSettings();
  net::InitNetwork();
  RunEventLoop();
  SaveSettingsAndExit();
}

void EndProgram() {
  net::ReleaseNetwork();
  gui::Shutdown();
  gui::ExitProgram(0);
}
