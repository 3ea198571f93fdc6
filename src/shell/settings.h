// The settings file "ovn_settings.xml": first-run creation, loading into the
// satellite and language lists, and saving at exit.
#pragma once

#include <vector>

#include "common/text.h"
#include "platform/xml_doc.h"

// Elements of the loaded settings file that the lists stand for. Each row keeps
// its own element, also when a language without picture got no row or a
// foreign element stands among the satellites.
struct SettingsState {
  xml::XmlNode* SatelliteListElement = nullptr;
  xml::XmlNode* LanguageListElement = nullptr;
  xml::XmlNode* BouquetListElement = nullptr;
  std::vector<xml::XmlNode*> SatelliteRows;  // element of SatelliteList row k
  std::vector<xml::XmlNode*> LanguageRows;   // element of LanguageList row k
  std::vector<int> LanguagePictures;         // flag picture of LanguageList row k
};

extern SettingsState Settings;

// Reads the settings (writing a first-run file first when there is none) and
// fills the lists; ends the program when its files cannot be loaded.
void LoadSettings();

// Writes the first-run settings file: DreamboxEdit's satellites from the
// loaded DreamboxSatellitesDoc, or the four built-in satellites.
void WriteFirstRunSettings(bool fromDreambox);

// Stores the list states into the settings, saves them and ends the program.
[[noreturn]] void SaveSettingsAndExit();

// Appends one bouquet element per ticked row of a filter list to the
// current bouquet_list element.
void WriteBouquetEntries(int listGadget, const Text& listName);

// A flag attribute counts as set only when its value is exactly "yes".
bool FlagIsSet(const xml::XmlNode* element, const Char* attribute);

// The satellite or language element of a row; nullptr when there is none.
xml::XmlNode* SatelliteOfRow(int row);
xml::XmlNode* LanguageOfRow(int row);

// Settings position of a DreamboxEdit position in tenths of a degree: 192 gives
// "19.2E", -50 gives "5.0W".
Text ConvertDreamboxPosition(const Text& tenths);

// Column 0 of a satellite row: position right-aligned in six characters, a
// blank and the name.
Text SatelliteRowText(const Text& position, const Text& name);
// Column 1: " t r d f" with "-" for each kind that is not wanted.
Text TrdfText(bool tv, bool radio, bool data, bool feed);
