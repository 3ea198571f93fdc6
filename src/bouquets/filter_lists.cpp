// The four filter lists of the second tab: filled from the loaded list files,
// their ticks restored from the settings file.
#include "bouquets/bouqets.h"
#include "bouquets/import_files.h"
#include "bouquets/service_entry.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/xml_defs.h"

bool ReloadFilterLists(const Text& folder) {
  if (LoadListFiles(folder) != 1) return false;
  FillFilterList(Gadgets.CountryList, CountryDoc, TXT("country"));
  FillFilterList(Gadgets.ProviderList, ProviderDoc, TXT("provider"));
  FillFilterList(Gadgets.GenreList, GenreDoc, TXT("genre"));
  FillFilterList(Gadgets.LanguageFilterList, LanguageDoc, TXT("language"));
  return true;
}

void FillFilterList(int listGadget, int document, const Text& key) {
  gui::ClearItems(listGadget);
  // One row per entry in file order, duplicates included.
  for (const xml::XmlNode* entry = FirstElementChild(xml::RootElement(document)); entry;
       entry = NextElement(entry)) {
    gui::AddItem(listGadget, -1, Trim(xml::GetAttribute(entry, TXT("name"))));
  }
  gui::PollEvent();

  const xml::XmlNode* remembered = Settings.BouquetListElement;
  if (!remembered) return;
  for (const xml::XmlNode* bouquet = FirstElementChild(remembered); bouquet;
       bouquet = NextElement(bouquet)) {
    if (!xml::NameIs(bouquet, "bouquet") || xml::GetAttribute(bouquet, TXT("list")) != key) continue;
    const Text name = xml::GetAttribute(bouquet, TXT("name"));
    const int rows = gui::CountItems(listGadget);
    if (rows > 0 && !name.empty()) {
      for (int row = 0; row < rows; ++row) {
        if (gui::GetItemText(listGadget, row) == name)
          gui::SetItemState(listGadget, row, gui::kItemTicked);
      }
    }
    gui::PollEvent();
  }
}
