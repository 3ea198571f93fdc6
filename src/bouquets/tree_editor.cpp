// The "Drag/Drop bouquets" tab: the tree handlers, marking with the mouse and
// the Shift key, renaming in edit mode, deleting marked items.
#include <vector>

#include "bouquets/bouqets.h"
#include "platform/gui.h"
#include "shell/main_window.h"

namespace {

void MarkItem(int tree, std::vector<BouquetNode>& nodes, int index) {
  nodes[static_cast<size_t>(index)].mark = 1;
  gui::SetItemColour(tree, index, Bouquets.MarkedColour);
}

// Drops the nodes flagged for removal in one sweep, keeping the order.
void CompactNodes(std::vector<BouquetNode>& nodes, const std::vector<bool>& removed) {
  size_t kept = 0;
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (removed[i]) continue;
    if (kept != i) nodes[kept] = std::move(nodes[i]);
    ++kept;
  }
  nodes.resize(kept);
}

// Removes, from the last node to the first, every marked node of the level
// whose next remaining node is not below it (for bouquets: not a service; for
// types: a type or none). Walking backwards keeps the indexes of the items
// still to be examined, so tree and list stay in step item by item.
void RemoveEmptyMarked(int tree, int level) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes || nodes->empty()) return;
  std::vector<bool> removed(nodes->size(), false);
  int nextLevel = kNoNode;  // level of the node that now follows, none at the end
  bool any = false;
  gui::BeginTreeBatch(tree);
  for (size_t i = nodes->size(); i-- > 0;) {
    const BouquetNode& node = (*nodes)[i];
    const bool empty = level == kBouquetLevel ? nextLevel != kServiceLevel
                                              : (nextLevel == kTypeLevel || nextLevel == kNoNode);
    if (node.level == level && node.mark != 0 && empty) {
      gui::RemoveItem(tree, static_cast<int>(i));
      removed[i] = true;
      any = true;
      gui::PollEvent();
    } else {
      nextLevel = node.level;
    }
  }
  gui::EndTreeBatch(tree);
  if (any) CompactNodes(*nodes, removed);
}

}  // namespace

int NodeLevel(int tree, int index) {
  const std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes || index < 0 || index >= static_cast<int>(nodes->size())) return kNoNode;
  return (*nodes)[static_cast<size_t>(index)].level;
}

void ShowServiceInfo(const BouquetEntry& entry, int statusLine) {
  const Text separator = TXT(" / ");
  gui::SetText(statusLine, entry.ServiceName + separator + entry.SatelliteName + separator +
                               entry.Package + separator + entry.Frequency + TXT(" ") +
                               entry.Polarization + separator + entry.VideoPid + separator +
                               entry.AudioPid);
}

void UnmarkAll(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  gui::BeginTreeBatch(tree);
  for (size_t i = 0; i < nodes->size(); ++i) {
    (*nodes)[i].mark = 0;
    gui::SetItemColour(tree, static_cast<int>(i), Bouquets.DefaultItemBackColour);
  }
  gui::EndTreeBatch(tree);
  gui::PollEvent();
}

void MarkSelection(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes || gui::CountItems(tree) == 0 || nodes->empty()) return;
  const bool shift = gui::ShiftKeyDown();
  const int count = static_cast<int>(nodes->size());
  int n = gui::GetState(tree);
  if (n < 0 || n >= count) n = count - 1;
  UnmarkAll(tree);
  gui::BeginTreeBatch(tree);
  int& anchor = Bouquets.ShiftAnchor;
  if ((*nodes)[static_cast<size_t>(n)].level == kServiceLevel) {
    ShowServiceInfo((*nodes)[static_cast<size_t>(n)].entry, TreeStatusLine(tree));
    if (anchor == -1 || !shift) {
      anchor = n;
      MarkItem(tree, *nodes, n);
    } else if (n > anchor) {
      for (int i = n; i >= anchor && NodeLevel(tree, i) == kServiceLevel; --i)
        MarkItem(tree, *nodes, i);
    } else {
      for (int i = n; i <= anchor && NodeLevel(tree, i) == kServiceLevel; ++i)
        MarkItem(tree, *nodes, i);
    }
  } else {
    anchor = -1;
    MarkItem(tree, *nodes, n);
    if (shift) {
      const int level = (*nodes)[static_cast<size_t>(n)].level;
      for (int i = n + 1; i < count && (*nodes)[static_cast<size_t>(i)].level > level; ++i)
        MarkItem(tree, *nodes, i);
    }
    gui::SetText(TreeStatusLine(tree), *TreeFileName(tree));
  }
  gui::EndTreeBatch(tree);
  gui::PollEvent();
}

void RemoveMarkedServices(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  // One sweep: the item of node r sits at index kept, since every earlier
  // removal has already left the tree.
  gui::BeginTreeBatch(tree);
  size_t kept = 0;
  for (size_t r = 0; r < nodes->size(); ++r) {
    BouquetNode& node = (*nodes)[r];
    if (node.level == kServiceLevel && node.mark != 0) {
      gui::RemoveItem(tree, static_cast<int>(kept));
      gui::PollEvent();
      continue;
    }
    if (kept != r) (*nodes)[kept] = std::move(node);
    ++kept;
  }
  nodes->resize(kept);
  gui::EndTreeBatch(tree);
}

void RemoveEmptyMarkedBouquets(int tree) {
  RemoveEmptyMarked(tree, kBouquetLevel);
  gui::PollEvent();
}

void RemoveEmptyMarkedTypes(int tree) { RemoveEmptyMarked(tree, kTypeLevel); }

void DeleteMarked(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes || gui::CountItems(tree) == 0) return;
  gui::BeginTreeBatch(tree);
  RemoveMarkedServices(tree);
  RemoveEmptyMarkedBouquets(tree);
  RemoveEmptyMarkedTypes(tree);
  gui::EndTreeBatch(tree);
  gui::PollEvent();
}

void StartLabelEdit(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  const int current = gui::GetState(tree);
  const int level = NodeLevel(tree, current);
  // Type items keep their names here; with no current item nothing is edited.
  if (level == kTypeLevel || level == kNoNode) return;
  gui::SetTreeLabelEditing(tree, true);
  gui::EditTreeLabel(tree, current);
  Bouquets.EditTree = tree;
  Bouquets.EditItem = current;
  if (level == kServiceLevel)
    ShowServiceInfo((*nodes)[static_cast<size_t>(current)].entry, TreeStatusLine(tree));
}

// Only StartLabelEdit begins edits (the trees begin none by themselves), so an
// edit that ends is the one of EditTree and EditItem; anything else is refused.
int EndLabelEdit(int, int tree, int item, const Text* newText) {
  if (!newText) return gui::kEditDefault;
  if (newText->empty()) return gui::kEditReject;
  const int editTree = Bouquets.EditTree;
  const int editItem = Bouquets.EditItem;
  const int level = NodeLevel(editTree, editItem);
  if (tree != editTree || item != editItem || level == kNoNode) return gui::kEditReject;
  BouquetNode& node = (*TreeNodes(editTree))[static_cast<size_t>(editItem)];
  if (level == kTypeLevel) node.entry.BouquetType = *newText;
  else if (level == kBouquetLevel) node.entry.BouquetName = *newText;
  else node.entry.ServiceName = *newText;
  if (level == kServiceLevel)
    ShowServiceInfo(node.entry, TreeStatusLine(editTree));
  else
    gui::SetText(TreeStatusLine(editTree), *TreeFileName(editTree));
  return gui::kEditAccept;
}

int TreeEvent(int, int eventKind, int gadget, int eventType) {
  if (!TreeNodes(gadget)) return 0;
  if (eventKind == gui::kEventGadgetDrop) {
    TakeTreeDrop(gadget);
    return 0;
  }
  if (eventKind != gui::kEventGadget) return 0;
  const bool click = eventType == gui::kLeftClick || eventType == gui::kRightClick;
  if (gui::GetState(Gadgets.EditModeCheck) == 1) {
    if (click) StartLabelEdit(gadget);
  } else if (eventType == gui::kDragStart) {
    StartTreeDrag(gadget);
  } else if (click) {
    gui::SetTreeLabelEditing(gadget, false);
    MarkSelection(gadget);
  }
  return 0;
}

int DeleteTreePressed(int, int, int gadget, int) {
  if (gadget == Gadgets.DeleteLeftButton) DeleteMarked(Gadgets.LeftTree);
  else if (gadget == Gadgets.DeleteRightButton) DeleteMarked(Gadgets.RightTree);
  return 0;
}

int EditModeChanged(int, int, int, int) {
  UnmarkAll(Gadgets.RightTree);
  UnmarkAll(Gadgets.LeftTree);
  return 0;
}
