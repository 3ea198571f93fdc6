// The DreamboxEdit import files: one bouquet file per ticked filter row and
// kind of service, the HDTV/3DTV bouquet, the combined file and the services
// import file, all written from the loaded data file.
#pragma once

#include <vector>

#include "bouquets/bouquet_format.h"
#include "common/text.h"

// Kinds of bouquet, the index of the current and combined lists.
enum BouquetKind : int { kTvKind = 0, kHdtvKind = 1, kRadioKind = 2 };

// Every file of one press of "Make DreamboxEdit import files".
void MakeBouquetFiles();
// One bouquet per ticked row of a filter list.
void MakeListBouquets(int listGadget);
// The bouquet of every HDTV and 3DTV service, when HdtvBouquetCheck is ticked.
void MakeHdtvBouquet();
// Fills the current lists from the data file: the row of a filter list, or
// with listGadget 0 the HDTV/3DTV pass.
void CollectBouquet(int listGadget, int row);
// Sorts, numbers and writes the current lists, one file per kind.
void WriteBouquetFiles(const Text& bouquetText);
void AppendToCombined();
void WriteCombinedFile(const Text& text);
// By "Service Name" without regard to case, stable.
void SortByServiceName(std::vector<BouquetEntry>& list);
// "Sky / Movies?" gives "Sky__Movies_".
Text BouquetFileNameText(const Text& bouquetText);
// AllFolder, or FtaFolder while FtaOnlyCheck is ticked.
Text ImportFolder();

// The abbreviation of a language of the language list file, or the empty text.
Text LanguageAbbreviation(const Text& languageName);

// Services_Orbvane_ALL.txt: every service of the data file.
void MakeServicesFile();
void CollectServices();
void WriteServicesFile(const Text& text);

// Refills a filter list from its list document and ticks the rows remembered
// under key ("country", "provider", "genre", "language") in the settings.
void FillFilterList(int listGadget, int document, const Text& key);
