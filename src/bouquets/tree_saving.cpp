// Saving a tree as a bouquet list file: every service item becomes one line,
// numbered and named after the bouquet and type items above it.
#include <fstream>
#include <vector>

#include "bouquets/bouqets.h"
#include "common/files.h"
#include "platform/gui.h"
#include "shell/main_window.h"

namespace {

// True when a file can be written beside the path and, where the path names
// an existing file, that file may be written: the save is refused before any
// line is made, as the file could not be created.
bool CanReplaceFile(const Text& path) {
  if (FolderExists(path)) return false;
  if (FileExists(path)) {
    std::ofstream existing(ToFsPath(path), std::ios::binary | std::ios::app);
    if (!existing.is_open()) return false;
  }
  const Text probe = path + TXT(".new");
  OutTextFile file;
  const bool created = OpenOutTextFile(file, probe);
  CloseOutTextFile(file);
  if (created) DeleteFileAt(probe);
  return created;
}

void ShowWriteError(const Text& path) {
  gui::ShowMessage(TXT("File write error."), TXT("Could not create bouquet ") + path,
                   gui::kMessageOk);
}

}  // namespace

void SaveBouquetFile(int tree) {
  std::vector<BouquetNode>* nodes = TreeNodes(tree);
  if (!nodes) return;
  int bouquetNumber = -1;
  int sequenceNumber = -1;
  Text typeText;
  Text nameText;
  ShowTreeFiles();
  const Text title = tree == Gadgets.LeftTree ? TXT("Save Left bouquet") : TXT("Save Right bouquet");
  const Text path = gui::SaveFileRequester(title, *TreeFileName(tree), TXT("*.txt"));
  if (path.empty()) return;
  if (!CanReplaceFile(path)) {
    ShowWriteError(path);
    return;
  }
  // The numbered entries are kept aside and given to the nodes only once the
  // file is in place, so a failed save changes nothing.
  EntryFile file;
  BeginEntryFile(file, path, true);
  std::vector<BouquetEntry> written;
  written.reserve(nodes->size());
  for (const BouquetNode& node : *nodes) {
    if (node.level == kTypeLevel) {
      typeText = node.entry.BouquetType;
      bouquetNumber = -1;
      sequenceNumber = 0;
    } else if (node.level == kBouquetLevel) {
      sequenceNumber = 0;
      ++bouquetNumber;
      nameText = node.entry.BouquetName;
    } else if (node.level == kServiceLevel) {
      BouquetEntry entry = node.entry;
      entry.BouquetNumber = bouquetNumber;
      entry.SequenceNumber = sequenceNumber;
      entry.BouquetType = typeText;
      entry.BouquetName = nameText;
      WriteEntryLine(file, entry, true);
      written.push_back(std::move(entry));
      ++sequenceNumber;
    }
  }
  if (!FinishEntryFile(file)) {
    ShowWriteError(path);
    return;
  }
  size_t next = 0;
  for (BouquetNode& node : *nodes)
    if (node.level == kServiceLevel) node.entry = std::move(written[next++]);
  *TreeFileName(tree) = path;
  gui::SetText(TreeStatusLine(tree), path);
}

int SaveTreePressed(int, int, int gadget, int) {
  if (gadget == Gadgets.SaveLeftButton) SaveBouquetFile(Gadgets.LeftTree);
  else if (gadget == Gadgets.SaveRightButton) SaveBouquetFile(Gadgets.RightTree);
  return 0;
}
