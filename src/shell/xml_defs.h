// Loading XML files into the program's document slots, with the root-name
// check and the error reports, and the set of data and list files.
#pragma once

#include "common/text.h"

// The program's document slots of the XML facility.
enum DocumentSlot : int {
  SettingsDoc = 0,
  DreamboxSatellitesDoc = 1,
  DataDoc = 2,
  GenreDoc = 3,
  CountryDoc = 4,
  ProviderDoc = 5,
  LanguageDoc = 6,
  DownloadDoc = 7,
};

// Frees every slot (start-up and tests).
void ResetDocuments();

// True when the document holds the file and its root has exactly rootName.
// Reports in VersionText and, for real faults, in a message box.
bool LoadXmlFile(int document, const Text& path, const char* rootName);

// Loads the data file and the four list files from folder (ending in a
// separator), each only after the ones before it loaded: 1 when all five did.
int LoadListFiles(const Text& folder);

// Frees the data and list documents that are loaded and empties the filter
// list of each list document that was loaded.
void FreeListFiles();

// Line n (from 1) of a text file; the empty text for n below 1 or past the end.
Text ReadFileLine(const Text& path, int n);
