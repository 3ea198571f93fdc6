// Import file generation, the two-tree bouquet editor and the service update.
#include "bouquets/bouqets.h"

#include "platform/gui.h"

BouquetState Bouquets;

void ResetBouquetState() { Bouquets = BouquetState{}; }

int ListPanelChanged(int, int, int, int) { return 0; }
int IgnoreFilterListEvent(int, int, int, int) { return 0; }
int HdtvBouquetChanged(int, int, int, int) { return 0; }
int FtaOnlyChanged(int, int, int, int) { return 0; }
int LoadBouquetsPressed(int, int, int, int) { return 0; }
int TickFilterListPressed(int, int, int, int) { return 0; }
int MakeImportPressed(int, int, int, int) { return 0; }

int TreeEvent(int, int, int, int) { return 0; }
int LoadTreePressed(int, int, int, int) { return 0; }
int SaveTreePressed(int, int, int, int) { return 0; }
int ClearTreePressed(int, int, int, int) { return 0; }
int DeleteTreePressed(int, int, int, int) { return 0; }
int EditModeChanged(int, int, int, int) { return 0; }
int UpdateTreePressed(int, int, int, int) { return 0; }

int EndLabelEdit(int, int, int, const Text*) { return gui::kEditDefault; }
