// The two bouquet trees and their node lists: which state belongs to which
// tree, loading a bouquet list file into a tree, and clearing a tree.
#include <vector>

#include "bouquets/bouqets.h"
#include "common/files.h"
#include "platform/gui.h"
#include "shell/main_window.h"

std::vector<BouquetNode>* TreeNodes(int tree) {
  if (tree == 0) return nullptr;
  if (tree == Gadgets.LeftTree) return &Bouquets.LeftNodes;
  if (tree == Gadgets.RightTree) return &Bouquets.RightNodes;
  return nullptr;
}

Text* TreeFileName(int tree) {
  if (tree == 0) return nullptr;
  if (tree == Gadgets.LeftTree) return &Bouquets.LeftTreeFile;
  if (tree == Gadgets.RightTree) return &Bouquets.RightTreeFile;
  return nullptr;
}

int TreeStatusLine(int tree) {
  if (tree == 0) return 0;
  if (tree == Gadgets.LeftTree) return Gadgets.StatusLine1;
  if (tree == Gadgets.RightTree) return Gadgets.StatusLine2;
  return 0;
}

void AppendNode(int tree, int level, const Text& line) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  BouquetNode node;
  node.level = level;
  node.mark = 0;
  node.entry = ParseEntryLine(line);
  nodes->push_back(std::move(node));
}

void ClearTree(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  gui::ClearItems(tree);
  TreeFileName(tree)->clear();
  nodes->clear();
  gui::SetText(TreeStatusLine(tree), kVersionText);
}

namespace {

const Text kTab = TXT("\t");

// Items and nodes of the file's lines after the header: a change of the type
// column opens a type and a bouquet item, a change of the name column under
// the same type a bouquet item; every line is one service item.
void AddFileLines(int tree, const std::vector<Text>& lines, Text lastType, Text lastName) {
  int i = 0;
  for (size_t n = 1; n < lines.size(); ++n) {
    const Text& line = lines[n];
    const Text type = Field(line, 3, kTab);
    const Text name = Field(line, 4, kTab);
    if (type != lastType) {
      gui::AddItem(tree, i, type, 0, 0);
      Bouquets.DefaultItemBackColour = gui::GetItemColour(tree, i);
      AppendNode(tree, 0, line);
      lastType = type;
      ++i;
      gui::AddItem(tree, i, name, 0, 1);
      AppendNode(tree, 1, line);
      lastName = name;
      ++i;
    } else if (name != lastName) {
      gui::AddItem(tree, i, name, 0, 1);
      AppendNode(tree, 1, line);
      lastName = name;
      ++i;
    }
    gui::AddItem(tree, -1, Field(line, 5, kTab), 0, 2);
    AppendNode(tree, 2, line);
    ++i;
  }
}

}  // namespace

void LoadBouquetFile(int tree, const Text& prompt) {
  if (!TreeNodes(tree)) return;
  ShowTreeFiles();
  const Text path = gui::OpenFileRequester(prompt, TXT("*.txt"), TXT("*.txt"));
  if (path.empty()) return;
  LoadBouquetFileFrom(tree, path);
}

void LoadBouquetFileFrom(int tree, const Text& path) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  ClearTree(tree);
  std::vector<Text> lines;
  if (!ReadTextLines(path, lines)) return;
  Text& fileName = *TreeFileName(tree);
  const int statusLine = TreeStatusLine(tree);
  fileName = path;
  gui::SetText(statusLine, path);

  const Text header = lines.empty() ? Text() : lines[0];
  const Text headerType = Field(header, 3, kTab);
  const Text headerName = Field(header, 4, kTab);
  if (headerType != TXT("Bouquet Type") || headerName != TXT("Bouquet Name")) {
    gui::ShowMessage(TXT("File read error."), TXT("Not a bouquet file: ") + path, gui::kMessageOk);
    fileName.clear();
    gui::SetText(statusLine, Text());
    return;
  }
  nodes->reserve(lines.size() * 3 / 2);
  gui::BeginTreeBatch(tree);
  AddFileLines(tree, lines, headerType, headerName);
  gui::EndTreeBatch(tree);
}

int LoadTreePressed(int, int, int gadget, int) {
  if (gadget == Gadgets.LoadLeftButton)
    LoadBouquetFile(Gadgets.LeftTree, TXT("Where is the Orbvane bouquet file ?"));
  else if (gadget == Gadgets.LoadRightButton)
    LoadBouquetFile(Gadgets.RightTree, TXT("Where is the DreamBoxEdit bouquets file ?"));
  return 0;
}

int ClearTreePressed(int, int, int gadget, int) {
  if (gadget == Gadgets.ClearLeftButton) ClearTree(Gadgets.LeftTree);
  else if (gadget == Gadgets.ClearRightButton) ClearTree(Gadgets.RightTree);
  return 0;
}
