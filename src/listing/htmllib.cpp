// Listing download and conversion.
#include "listing/htmllib.h"

ListingState Listing;

void ResetListingState() { Listing = ListingState{}; }

int DownloadSatellites(int, int, int, int) { return 0; }
