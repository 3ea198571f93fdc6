// Import file generation, the two-tree bouquet editor and the service update:
// the shared state. The behaviour lives beside this file, one file per concern:
// bouquet_format (the text format), import_tab (the second tab and the filter
// lists), tree_editor (the third tab) and service_update (the Update buttons).
#include "bouquets/bouqets.h"

#include "bouquets/service_update.h"

BouquetState Bouquets;

void ResetBouquetState() {
  Bouquets = BouquetState{};
  ResetServiceUpdateState();
}
