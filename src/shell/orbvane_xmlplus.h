// The application shell: start-up, the one event loop, the handler table and
// shutdown, plus the shell state every subsystem reads.
#pragma once

#include <vector>

#include "common/text.h"
#include "platform/xml_doc.h"

// A gadget handler: (window, event kind, gadget, event type); its result is ignored.
using Handler = int (*)(int window, int eventKind, int gadget, int eventType);

struct HandlerEntry {
  int gadget = 0;
  Handler handler = nullptr;
};

// Relative to the working folder, which never changes during a run.
inline const Text kSettingsFile = TXT("ovn_settings.xml");
extern const Text kWorkFolder;  // "ovn_work" and the folder separator

struct ShellState {
  Text ProgramFolder;
  Text OutputFolder;
  Text AllFolder;
  Text FtaFolder;
  int TrdfWindow = 0;          // 0: not open
  int DoubleIdentDialog = 0;   // 0: not open
  int SelectedLanguage = -1;
  bool DiscardHiddenFlag = false;
  bool ReuseDownloadsFlag = false;
  bool TranspondersOnlyFlag = false;
  // 1-based positions of these elements among the children of the settings root.
  int SatelliteListPosition = 1;
  int LanguageListPosition = 2;
  int BouquetListPosition = 3;
  std::vector<HandlerEntry> HandlerTable;
};

extern ShellState Shell;

// Appends {gadget, handler} when the gadget exists.
void RegisterHandler(int gadget, Handler handler);
// Calls the first handler registered for the event's gadget, if any.
void DispatchEvent(int window, int eventKind, int gadget, int eventType);

// Recomputes AllFolder and FtaFolder from OutputFolder and creates both;
// existing or uncreatable folders are passed over silently.
void CreateOutputSubfolders();

// Every subsystem's shared state back to its initial values.
void ResetProgramState();

// Start-up, event loop and shutdown; ends through EndProgram.
[[noreturn]] void RunProgram();

// Releases the platform facilities and ends the process with exit code 0.
[[noreturn]] void EndProgram();
