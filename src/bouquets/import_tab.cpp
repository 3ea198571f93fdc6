// The "Bouquets + Services" tab and its filter lists.
#include "bouquets/bouqets.h"

bool ReloadFilterLists(const Text&) { return false; }

int ListPanelChanged(int, int, int, int) { return 0; }
int IgnoreFilterListEvent(int, int, int, int) { return 0; }
int HdtvBouquetChanged(int, int, int, int) { return 0; }
int FtaOnlyChanged(int, int, int, int) { return 0; }
int LoadBouquetsPressed(int, int, int, int) { return 0; }
int TickFilterListPressed(int, int, int, int) { return 0; }
int MakeImportPressed(int, int, int, int) { return 0; }
