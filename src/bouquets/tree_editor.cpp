// The "Drag/Drop bouquets" tab: two bouquet trees, marking, editing, saving.
#include "bouquets/bouqets.h"

#include "platform/gui.h"

int TreeEvent(int, int, int, int) { return 0; }
int LoadTreePressed(int, int, int, int) { return 0; }
int SaveTreePressed(int, int, int, int) { return 0; }
int ClearTreePressed(int, int, int, int) { return 0; }
int DeleteTreePressed(int, int, int, int) { return 0; }
int EditModeChanged(int, int, int, int) { return 0; }

int EndLabelEdit(int, int, int, const Text*) { return gui::kEditDefault; }
