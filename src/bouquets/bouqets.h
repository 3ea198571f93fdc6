// Import file generation, the two-tree bouquet editor and the service update.
#pragma once

#include <vector>

#include "bouquets/bouquet_format.h"
#include "common/text.h"

// Levels of tree items and nodes.
constexpr int kTypeLevel = 0;
constexpr int kBouquetLevel = 1;
constexpr int kServiceLevel = 2;

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
  // Background of a marked item, packed 0xBBGGRR (red 4, green 194, blue 251).
  int MarkedColour = 16499204;
  // Service item of the last plain click, in either tree; -1 after a click on
  // a bouquet or type item. Shift-clicks mark the range up to it.
  int ShiftAnchor = -1;
  // Tree (0: none) and item of the label edit begun last.
  int EditTree = 0;
  int EditItem = 0;
  // Text of the drag this program started last, until its drop is taken; a
  // drop of any other text is not ours and is ignored.
  Text DragInFlight;
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

// ---- the two trees of the "Drag/Drop bouquets" tab ---------------------------
// Node list, file name and status line of LeftTree or RightTree; nullptr or 0
// for any other gadget.
std::vector<BouquetNode>* TreeNodes(int tree);
Text* TreeFileName(int tree);
int TreeStatusLine(int tree);

// Asks for a bouquet file and loads it into the tree.
void LoadBouquetFile(int tree, const Text& prompt);
// The tree emptied and filled from the file at path (the part after the
// requester): a file that cannot be read leaves it empty, a file without the
// bouquet header is reported.
void LoadBouquetFileFrom(int tree, const Text& path);
// Appends a node parsed from a file line to the tree's node list.
void AppendNode(int tree, int level, const Text& line);
// Empties the tree, its node list and its file name.
void ClearTree(int tree);

// Level of node index, or kNoNode when there is no such node.
constexpr int kNoNode = 10;
int NodeLevel(int tree, int index);
void MarkSelection(int tree);
void UnmarkAll(int tree);
void ShowServiceInfo(const BouquetEntry& entry, int statusLine);
// Removes the marked services, then the marked bouquets and bouquet types left
// empty, each from the tree and its node list together.
void DeleteMarked(int tree);
// The three passes of DeleteMarked (mark not 0 counts as marked). Each keeps
// the node list index for index with the tree.
void RemoveMarkedServices(int tree);
void RemoveEmptyMarkedBouquets(int tree);
void RemoveEmptyMarkedTypes(int tree);
void StartLabelEdit(int tree);

// Drag and drop between and within the trees.
bool DragAutoScroll(int action);
void DropItems(int target, int source, int item);
void InsertNode(int tree, int position, int level, const BouquetEntry& entry);
Text NodeBouquetType(int tree, int index);
bool HasBouquetType(int tree, const Text& text);
// Tree handler parts for a drag start and a drop event.
void StartTreeDrag(int tree);
void TakeTreeDrop(int tree);

// Writes the tree as a bouquet list file, numbered by its type and bouquet items.
void SaveBouquetFile(int tree);

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
