// Handlers of the "Bouquets + Services" tab.
#include "bouquets/bouqets.h"
#include "bouquets/import_files.h"
#include "common/files.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/satellites_tab.h"
#include "shell/xml_defs.h"

int ListPanelChanged(int, int, int, int) {
  static const Char* const kHints[] = {
      TXT("WARNING: Many Radio stations have no country indication....."),
      TXT("WARNING: Many Radio stations have no provider indication....."),
      TXT("WARNING: Many Radio stations have no genre indication....."),
      TXT("Almost all Radio stations have a language indication."),
  };
  const int page = gui::GetState(Gadgets.ListPanel);
  if (page >= 0 && page < 4) gui::SetText(Gadgets.VersionText, kHints[page]);
  return 0;
}

int IgnoreFilterListEvent(int, int, int, int) { return 0; }

int HdtvBouquetChanged(int, int, int, int) {
  if (gui::GetState(Gadgets.HdtvBouquetCheck) == 1)
    gui::SetText(Gadgets.VersionText, TXT("Adds a bouquet with only HDTV and 3DTV channels."));
  return 0;
}

int FtaOnlyChanged(int, int, int, int) {
  // FtaMarkCombo keeps its chosen row while it is hidden.
  if (gui::GetState(Gadgets.FtaOnlyCheck) == 1) {
    gui::SetText(Gadgets.VersionText, TXT("WARNING: some TV stations are only partially FTA."));
    gui::HideGadget(Gadgets.FtaMarkCombo, false);
  } else {
    gui::HideGadget(Gadgets.FtaMarkCombo, true);
  }
  return 0;
}

int LoadBouquetsPressed(int, int, int, int) {
  Text folder = gui::FolderRequester(TXT("Select the directory to load all files from."),
                                     Shell.OutputFolder);
  if (!folder.empty()) folder = WithTrailingSeparator(folder);
  // A cancelled requester is remembered too: the next one starts at the default.
  Shell.OutputFolder = folder;
  if (folder.empty()) return 0;
  if (!ReloadFilterLists(Shell.OutputFolder)) return 0;
  CreateOutputSubfolders();
  gui::SetText(Gadgets.VersionText, TXT("Loaded XML files"));
  return 0;
}

int TickFilterListPressed(int, int, int gadget, int) {
  int list = Gadgets.CountryList;
  switch (gui::GetState(Gadgets.ListPanel)) {
    case 1: list = Gadgets.ProviderList; break;
    case 2: list = Gadgets.GenreList; break;
    case 3: list = Gadgets.LanguageFilterList; break;
    default: break;
  }
  TickRows(list, gadget == Gadgets.SelectAllListButton);
  return 0;
}

int MakeImportPressed(int, int, int, int) {
  struct Needed {
    int document;
    const Char* missing;
  };
  static const Needed kNeeded[] = {
      {DataDoc, TXT("Missing one or more xml files, use button 'load bouquets'")},
      {CountryDoc, TXT("Missing country.xml, use button 'load bouquets'")},
      {ProviderDoc, TXT("Missing provider.xml, use button 'load bouquets'")},
      {GenreDoc, TXT("Missing genre.xml, use button 'load bouquets'")},
      {LanguageDoc, TXT("Missing language.xml, use button 'load bouquets'")},
  };
  for (const Needed& n : kNeeded) {
    if (!xml::IsLoaded(n.document)) {
      gui::SetText(Gadgets.VersionText, n.missing);
      return 0;
    }
  }
  MakeBouquetFiles();
  gui::SetText(Gadgets.VersionText, TXT("Created bouquet files."));
  if (gui::GetState(Gadgets.ServicesFileCheck) == 1) {
    MakeServicesFile();
    gui::SetText(Gadgets.VersionText, TXT("Created services file."));
  }
  return 0;
}
