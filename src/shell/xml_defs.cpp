// XML file loading and the list files set.
#include "shell/xml_defs.h"

#include <fstream>

#include "common/encoding.h"
#include "common/files.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"

namespace {

const Text kSorryText = TXT("We are sorry for the inconveniency but");
const Text kInsistText = TXT("insist you provide the correct file and not:");

Text FileNamePart(const Text& path) {
  const size_t cut = path.find_last_of(TXT("\\/"));
  return cut == Text::npos ? path : path.substr(cut + 1);
}

void FreeIfLoaded(int document) {
  if (xml::IsLoaded(document)) xml::FreeSlot(document);
}

}  // namespace

void ResetDocuments() {
  for (int slot = 0; slot < xml::kSlotCount; ++slot) xml::FreeSlot(slot);
}

bool LoadXmlFile(int document, const Text& path, const char* rootName) {
  gui::SetText(Gadgets.VersionText, TXT("loading ") + path);
  if (Right(path, 4) != TXT(".xml")) {
    gui::ShowMessage(TXT("Not an xml file !!"),
                     kSorryText + TXT("\r") + kInsistText + TXT("\r") + path, gui::kMessageOk);
    FreeIfLoaded(document);
    return false;
  }
  FreeIfLoaded(document);
  xml::LoadFile(document, path);
  if (xml::ParseStatus(document) != 0) {
    const int line = xml::ErrorLine(document);
    gui::ShowMessage(TXT("XML Error ") + FileNamePart(path),
                     TXT("Error in the XML file:") + path + TXT("\r") + TXT("Message: ") +
                         xml::ErrorText(document) + TXT("\r") + TXT("Line: ") +
                         FormatInteger(line) + TXT("   Character: ") +
                         FormatInteger(xml::ErrorCharacter(document)) + TXT("\r") +
                         ReadFileLine(path, line),
                     gui::kMessageOk);
    gui::SetText(Gadgets.VersionText, TXT("Failed to XML load file ") + path + TXT(" !!!"));
    FreeIfLoaded(document);
    return false;
  }
  if (xml::NameIs(xml::RootElement(document), rootName)) {
    gui::SetText(Gadgets.VersionText, TXT("Loaded ") + path);
    return true;
  }
  gui::SetText(Gadgets.VersionText, TXT("FAILED, loading ") + path);
  FreeIfLoaded(document);
  return false;
}

int LoadListFiles(const Text& folder) {
  struct ListFile {
    int document;
    const Char* file;
    const char* root;
  };
  static const ListFile kFiles[] = {
      {DataDoc, TXT("orbvane.xml"), "orbvane_list"},
      {GenreDoc, TXT("genre.xml"), "genre_list"},
      {CountryDoc, TXT("country.xml"), "country_list"},
      {ProviderDoc, TXT("provider.xml"), "provider_list"},
      {LanguageDoc, TXT("language.xml"), "language_list"},
  };
  for (const ListFile& f : kFiles) {
    if (!LoadXmlFile(f.document, folder + f.file, f.root)) {
      gui::SetText(Gadgets.VersionText, TXT("FAILED loading ") + folder + f.file);
      return 0;
    }
  }
  return 1;
}

void FreeListFiles() {
  FreeIfLoaded(DataDoc);
  const std::pair<int, int> kLists[] = {{GenreDoc, Gadgets.GenreList},
                                        {ProviderDoc, Gadgets.ProviderList},
                                        {CountryDoc, Gadgets.CountryList},
                                        {LanguageDoc, Gadgets.LanguageFilterList}};
  for (const auto& [document, list] : kLists) {
    if (xml::IsLoaded(document)) {
      gui::ClearItems(list);
      xml::FreeSlot(document);
    }
  }
}

Text ReadFileLine(const Text& path, int n) {
  if (n < 1) return Text();
  std::ifstream in(ToFsPath(path), std::ios::binary);
  if (!in) return Text();
  // Lines end at CR LF, LF or CR; read only as far as line n.
  std::string line;
  int number = 1;
  char c;
  while (in.get(c)) {
    if (c == '\r' || c == '\n') {
      if (number == n) return FileBytesToText(line);
      if (c == '\r' && in.peek() == '\n') in.get(c);
      ++number;
      line.clear();
    } else if (number == n) {
      line.push_back(c);
    }
  }
  return number == n ? FileBytesToText(line) : Text();
}
