// Import file generation, the two-tree bouquet editor and the service update.
#pragma once

#include "common/text.h"

struct BouquetState {
  // Paths of the bouquet files last loaded into or saved from each tree.
  Text LeftTreeFile;
  Text RightTreeFile;
};

extern BouquetState Bouquets;

void ResetBouquetState();

// Handlers of the "Bouquets + Services" tab.
int ListPanelChanged(int window, int eventKind, int gadget, int eventType);
int IgnoreFilterListEvent(int window, int eventKind, int gadget, int eventType);
int HdtvBouquetChanged(int window, int eventKind, int gadget, int eventType);
int FtaOnlyChanged(int window, int eventKind, int gadget, int eventType);
int LoadBouquetsPressed(int window, int eventKind, int gadget, int eventType);
int TickFilterListPressed(int window, int eventKind, int gadget, int eventType);
int MakeImportPressed(int window, int eventKind, int gadget, int eventType);

// Handlers of the "Drag/Drop bouquets" tab; each serves the left and the right
// gadget and tells them apart by the gadget.
int TreeEvent(int window, int eventKind, int gadget, int eventType);
int LoadTreePressed(int window, int eventKind, int gadget, int eventType);
int SaveTreePressed(int window, int eventKind, int gadget, int eventType);
int ClearTreePressed(int window, int eventKind, int gadget, int eventType);
int DeleteTreePressed(int window, int eventKind, int gadget, int eventType);
int EditModeChanged(int window, int eventKind, int gadget, int eventType);
int UpdateTreePressed(int window, int eventKind, int gadget, int eventType);

// End of an in-place label edit in a tree (window-level notification).
int EndLabelEdit(int window, int tree, int item, const Text* newText);
