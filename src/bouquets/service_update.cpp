// The Update buttons: every service of a tree matched against the data file,
// changes taken over, services not found reported and removed.
#include "bouquets/service_update.h"

#include "bouquets/bouqets.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace {

bool IsLeft(int tree) { return tree == Gadgets.LeftTree; }

bool Ticked(int checkBox) { return gui::GetState(checkBox) == 1; }

}  // namespace

void UpdateServices(int tree) {
  const bool within = Ticked(Gadgets.FindWithinSatelliteCheck);
  const bool removeNotFound = Ticked(Gadgets.RemoveNotFoundCheck);
  std::vector<BouquetNode>* treeNodes = TreeNodes(tree);
  if (!treeNodes) return;
  std::vector<BouquetNode>& nodes = *treeNodes;
  const int statusLine = TreeStatusLine(tree);
  ServiceUpdate.Counters = UpdateCounters{};
  OpenUpdateReport();
  BuildServiceIndex();

  for (size_t i = 0; i < nodes.size(); ++i) {
    BouquetNode& node = nodes[i];
    if (node.level != 2) continue;
    // A service the user had marked is unmarked here; its colour goes with it.
    if (node.mark != 0) gui::SetItemColour(tree, static_cast<int>(i), Bouquets.DefaultItemBackColour);
    node.mark = 0;
    const Text progress = ProgressText(node.entry);
    gui::SetText(statusLine, progress);
    if (!FindService(node.entry, within)) {
      if (removeNotFound) node.mark = 1;
      ++ServiceUpdate.Counters.NotFound;
      WriteReportLine(TXT("Removed ") + progress);
      gui::PollEvent();
    }
  }
  DropServiceIndex();

  gui::SetText(statusLine, IsLeft(tree) ? TXT("Deleting unknown services...")
                                        : TXT("Deleting not found services..."));
  // The removal passes of "Delete": marked services, then marked bouquets and
  // bouquet types left without anything below them.
  DeleteMarked(tree);
  CloseUpdateReport();
  if (ServiceUpdate.Counters.NotFound > 0)
    gui::ShowMessage(TXT("Something is wrong"),
                     TXT("Not found services, see file: ") + kUpdateReportFile, gui::kMessageOk);
  gui::SetText(Gadgets.StatusLine1, ServiceSummaryLine());
  gui::SetText(Gadgets.StatusLine2, TransponderSummaryLine());
}

int UpdateTreePressed(int, int, int gadget, int) {
  const bool left = gadget == Gadgets.UpdateLeftButton;
  if (!xml::IsLoaded(DataDoc)) {
    gui::SetText(left ? Gadgets.StatusLine1 : Gadgets.StatusLine2, kMissingXmlFilesText);
    return 0;
  }
  UpdateServices(left ? Gadgets.LeftTree : Gadgets.RightTree);
  return 0;
}
