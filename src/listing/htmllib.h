// Listing download and conversion: fetching the page of every ticked
// satellite, reducing it to blocks and turning them into the data file.
#pragma once

#include "common/text.h"

// Host of the listing site. Its first label is the page language (for example
// "en." in front); the url attribute of the settings file can point elsewhere.
inline const Text kListingSiteHost = TXT("orbvane.example");

struct ListingState {};

extern ListingState Listing;

void ResetListingState();

// Handler of DownloadButton.
int DownloadSatellites(int window, int eventKind, int gadget, int eventType);
