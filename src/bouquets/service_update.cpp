// The Update buttons: services of a tree matched against the data file.
#include "bouquets/bouqets.h"

int UpdateTreePressed(int, int, int, int) { return 0; }
