// The services import file: every service of the data file once, in the
// services layout of the bouquet list format, sorted by name.
#include "bouquets/bouqets.h"
#include "bouquets/import_files.h"
#include "bouquets/service_entry.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace {

void SomethingIsWrong(const Char* what, const xml::XmlNode* node) {
  gui::ShowMessage(TXT("Something is wrong"), what + xml::Name(node), gui::kMessageOk);
}

}  // namespace

void MakeServicesFile() {
  Bouquets.ServicesList.clear();
  CollectServices();
  WriteServicesFile(TXT("Orbvane"));
  Bouquets.ServicesList.clear();
}

void CollectServices() {
  const xml::XmlNode* root = xml::RootElement(DataDoc);
  if (!xml::NameIs(root, "orbvane_list")) return;
  const DataFileNames names = InternDataFileNames(root);
  for (const xml::XmlNode* satellite = FirstElementChild(root); satellite;
       satellite = NextElement(satellite)) {
    if (!xml::NameIs(satellite, names.satellite)) {
      SomethingIsWrong(TXT("Not a satellite "), satellite);
      continue;
    }
    gui::SetText(Gadgets.VersionText, xml::GetAttribute(satellite, names.name) + TXT("\n"));
    for (const xml::XmlNode* transponder = FirstElementChild(satellite); transponder;
         transponder = NextElement(transponder)) {
      if (!xml::NameIs(transponder, names.transponder)) {
        SomethingIsWrong(TXT("Not a transponder "), transponder);
        continue;
      }
      // No event runs during the walk: the comma option stays as it is.
      TransponderFields fields;
      MakeTransponderFields(fields, names, satellite, transponder,
                            gui::GetState(Gadgets.ForceCommaCheck) == 1);
      for (const xml::XmlNode* service = FirstElementChild(transponder); service;
           service = NextElement(service)) {
        if (!xml::NameIs(service, names.service)) {
          SomethingIsWrong(TXT("Not a channel "), service);
          continue;
        }
        // Every service, whatever its kind or encryption.
        bool isRadio = false;
        const int32_t code = ServiceTypeCode(names, transponder, service, isRadio);
        Bouquets.ServicesList.emplace_back();
        FillEntryWith(Bouquets.ServicesList.back(), 0, 0, Text(), Text(), code, names, fields,
                      service);
      }
    }
  }
}

void WriteServicesFile(const Text& text) {
  const Text path = ImportFolder() + TXT("Services_") + ReplaceAll(text, TXT(" "), TXT("_")) +
                    TXT("_ALL.txt");
  std::vector<BouquetEntry>& list = Bouquets.ServicesList;
  SortByServiceName(list);
  EntryFile file;
  BeginEntryFile(file, path, false);
  for (const BouquetEntry& entry : list) WriteEntryLine(file, entry, false);
  if (!FinishEntryFile(file)) {
    gui::ShowMessage(TXT("File write error."), TXT("Could not create services file ") + path,
                     gui::kMessageOk);
  }
}
