// Import file generation, the two-tree bouquet editor and the service update.
#pragma once

#include <array>
#include <vector>

#include "bouquets/bouquet_format.h"
#include "common/text.h"

// One item of a bouquet tree: node i of a tree's node list belongs to item i
// of the tree, items counted in display order over all levels.
struct BouquetNode {
  int32_t level = 0;  // 0 bouquet type, 1 bouquet, 2 service
  int32_t mark = 0;   // 0 not marked, 1 marked, 2 marked and copied by the drop in progress
  BouquetEntry entry;  // the file line that created the item
};

struct BouquetState {
  // Paths of the bouquet files last loaded into or saved from each tree.
  Text LeftTreeFile;
  Text RightTreeFile;
  std::vector<BouquetNode> LeftNodes;
  std::vector<BouquetNode> RightNodes;
  // Background colour of a new tree item; given back to unmarked items.
  int DefaultItemBackColour = -1;

  // Import file generation, one list per kind of bouquet (BouquetKind): the
  // bouquet being built, and every bouquet of the run for the combined file.
  std::array<std::vector<BouquetEntry>, 3> CurrentBouquetLists;
  std::array<std::vector<BouquetEntry>, 3> CombinedLists;
  // Every service of the data file, for the services import file.
  std::vector<BouquetEntry> ServicesList;
};

extern BouquetState Bouquets;

void ResetBouquetState();

// Loads the data file and the four list files of a folder and fills the four
// filter lists of the second tab, their ticks restored from the settings file;
// true only when all five files loaded.
bool ReloadFilterLists(const Text& folder);

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
