// Drag and drop between and within the two bouquet trees: the drag carries
// only the source tree and the dragged item; the drop copies every marked item
// of the source, in tree order, to a place chosen from the dragged item's level
// and the item under the drop point.
#include <vector>

#include "bouquets/bouqets.h"
#include "platform/gui.h"
#include "shell/main_window.h"

namespace {

// Distance from a tree's top or bottom edge within which a drag scrolls it.
constexpr int kScrollMargin = 20;

Text DragPayload(int tree, int item) { return FormatInteger(tree) + TXT(" ") + FormatInteger(item); }

// Scrolls the tree by one line when the pointer is within the margin of its
// top or bottom edge; false when the pointer is not over the tree's column.
bool ScrollIfNearEdge(int tree) {
  const int x = gui::PointerX(tree);
  if (x < 0 || x >= gui::GadgetWidth(tree)) return false;
  const int y = gui::PointerY(tree);
  if (y <= kScrollMargin)
    gui::ScrollTreeLine(tree, true);
  else if (y >= gui::GadgetHeight(tree) - kScrollMargin)
    gui::ScrollTreeLine(tree, false);
  return true;
}

// Where the marked items go, or false when the drop is refused.
bool DropPosition(int target, int source, int item, int& position) {
  position = gui::GetState(target);
  const int sourceLevel = NodeLevel(source, item);
  const int targetLevel = NodeLevel(target, position);
  if (sourceLevel == kTypeLevel) {
    const Text type = NodeBouquetType(source, item);
    if (HasBouquetType(target, type)) return false;
    position = CompareNoCase(type, kTvBouquetType) == 0 ? 0 : -1;
    return targetLevel == kTypeLevel || (targetLevel == kNoNode && TreeNodes(target)->empty());
  }
  if (sourceLevel == kBouquetLevel) {
    if (targetLevel == kBouquetLevel) return true;
    if (targetLevel == kTypeLevel) {
      ++position;
      return true;
    }
    return false;
  }
  if (sourceLevel == kServiceLevel) {
    if (targetLevel == kServiceLevel) return true;
    if (targetLevel == kBouquetLevel) {
      ++position;
      return true;
    }
  }
  return false;
}

}  // namespace

Text NodeBouquetType(int tree, int index) {
  if (NodeLevel(tree, index) == kNoNode) return Text();
  return (*TreeNodes(tree))[static_cast<size_t>(index)].entry.BouquetType;
}

bool HasBouquetType(int tree, const Text& text) {
  const std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return false;
  for (const BouquetNode& node : *nodes)
    if (node.level == kTypeLevel && node.entry.BouquetType == text) return true;
  return false;
}

void InsertNode(int tree, int position, int level, const BouquetEntry& entry) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  BouquetNode node;
  node.level = level;
  node.mark = 0;
  node.entry = entry;
  if (!nodes->empty() && position >= 0 && position < static_cast<int>(nodes->size()))
    nodes->insert(nodes->begin() + position, std::move(node));
  else
    nodes->push_back(std::move(node));
}

bool DragAutoScroll(int action) {
  if (action == gui::kDragNone) return true;
  if (!ScrollIfNearEdge(Gadgets.RightTree)) ScrollIfNearEdge(Gadgets.LeftTree);
  return true;
}

void StartTreeDrag(int tree) {
  const int item = gui::GetState(tree);
  MarkSelection(tree);
  gui::SetDragCallback(DragAutoScroll);
  const Text payload = DragPayload(tree, item);
  Bouquets.DragInFlight = payload;
  if (gui::StartTextDrag(payload, gui::kDragCopy) == gui::kDragNone) Bouquets.DragInFlight.clear();
}

void TakeTreeDrop(int tree) {
  if (gui::EventDropKind() != gui::kDropText) return;
  const Text text = gui::EventDropText();
  // Only the drop of this program's own drag counts; a text from elsewhere,
  // even one that looks like ours, changes nothing.
  const bool ours = !Bouquets.DragInFlight.empty() && text == Bouquets.DragInFlight;
  Bouquets.DragInFlight.clear();
  if (!ours) return;
  const int source = static_cast<int>(ParseInteger(Field(text, 1, TXT(" "))));
  const int item = static_cast<int>(ParseInteger(Field(text, 2, TXT(" "))));
  DropItems(tree, source, item);
}

void DropItems(int target, int source, int item) {
  std::vector<BouquetNode>* sourceNodes = TreeNodes(source);
  std::vector<BouquetNode>* targetNodes = TreeNodes(target);
  if (!sourceNodes || !targetNodes || gui::CountItems(source) == 0 || sourceNodes->empty()) return;
  int position = -1;
  if (!DropPosition(target, source, item, position)) return;

  // The marked nodes, in source order, become one run of new nodes starting at
  // the drop position. Collecting them first gives the same result as copying
  // node by node, also within one tree, where the copies (mark 0) would be
  // passed over by the walk; the lists are then changed in one step each.
  std::vector<BouquetNode> copies;
  std::vector<Text> texts;
  for (size_t i = 0; i < sourceNodes->size(); ++i) {
    BouquetNode& node = (*sourceNodes)[i];
    if (node.mark != 1) continue;
    node.mark = 2;
    BouquetNode copy;
    copy.level = node.level;
    copy.mark = 0;
    copy.entry = node.entry;
    copies.push_back(std::move(copy));
    texts.push_back(gui::GetItemText(source, static_cast<int>(i)));
  }
  const int count = static_cast<int>(targetNodes->size());
  const bool append = position < 0 || position >= count;
  gui::BeginTreeBatch(target);
  for (size_t k = 0; k < copies.size(); ++k) {
    gui::AddItem(target, append ? -1 : position + static_cast<int>(k), texts[k], 0,
                 copies[k].level);
    gui::PollEvent();
  }
  targetNodes->insert(append ? targetNodes->end() : targetNodes->begin() + position,
                      std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
  gui::EndTreeBatch(target);

  if (gui::GetState(Gadgets.MoveServicesCheck) == 1) {
    gui::PollEvent();
    DeleteMarked(source);
  }
  UnmarkAll(source);
}
