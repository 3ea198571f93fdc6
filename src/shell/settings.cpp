// The settings file.
#include "shell/settings.h"

#include <cstdlib>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/xml_defs.h"

SettingsState Settings;

namespace {

const Text kYes = TXT("yes");

struct DefaultSatellite {
  const Char* name;
  const Char* position;
  const Char* selected;
};

const DefaultSatellite kDefaultSatellites[] = {
    {TXT("HOTBIRD 6,7A,8 - Europe, Middle East"), TXT("13.0E"), TXT("yes")},
    {TXT("ASTRA 1F,1G,1H,1KR,1L - Europe"), TXT("19.2E"), TXT("yes")},
    {TXT("ASTRA 1E,3A - Europe"), TXT("23.5E"), TXT("no")},
    {TXT("ASTRA 2A,B,C,D, EUROBIRD 1 - Europe"), TXT("28.2E"), TXT("no")},
};

Text EscapeAttribute(const Text& value) {
  Text out;
  out.reserve(value.size());
  for (Char c : value) {
    if (c == '&')
      out += TXT("&amp;");
    else if (c == '<')
      out += TXT("&lt;");
    else if (c == '"')
      out += TXT("&quot;");
    else
      out += c;
  }
  return out;
}

}  // namespace

// Two blanks of indentation per level, CR LF line ends, UTF-8.
void WriteFirstRunSettings(bool fromDreambox) {
  std::vector<Text> lines;
  lines.push_back(TXT("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  lines.push_back(TXT("<orbvane_settings url=\"http://en.") + kListingSiteHost +
                  TXT("/freqs.php?&amp;pos=0.0\">"));
  lines.push_back(TXT("  <language_list>"));
  lines.push_back(
      TXT("    <language name=\"English\" pad=\"en\" img=\"en.png\" selected=\"yes\"/>"));
  lines.push_back(TXT("  </language_list>"));
  lines.push_back(TXT("  <satellite_list>"));
  if (fromDreambox) {
    for (xml::XmlNode* sat = xml::ChildByPosition(xml::RootElement(DreamboxSatellitesDoc), 1); sat;
         sat = xml::NextSibling(sat)) {
      if (!xml::NameIs(sat, "sat")) continue;
      lines.push_back(TXT("    <satellite name=\"") +
                      EscapeAttribute(xml::GetAttribute(sat, TXT("name"))) +
                      TXT("\" position=\"") +
                      EscapeAttribute(ConvertDreamboxPosition(xml::GetAttribute(sat, TXT("position")))) +
                      TXT("\"/>"));
    }
  } else {
    for (const DefaultSatellite& s : kDefaultSatellites)
      lines.push_back(TXT("    <satellite name=\"") + Text(s.name) + TXT("\" position=\"") +
                      Text(s.position) + TXT("\" selected=\"") + Text(s.selected) + TXT("\"/>"));
  }
  lines.push_back(TXT("  </satellite_list>"));
  lines.push_back(TXT("</orbvane_settings>"));
  std::string bytes;
  for (const Text& line : lines) bytes += TextToUtf8(line) + "\r\n";
  WriteFileAtomically(kSettingsFile, bytes);
}

namespace {

void FillSatelliteList(xml::XmlNode* list) {
  gui::ClearItems(Gadgets.SatelliteList);
  Settings.SatelliteRows.clear();
  Settings.SatelliteListElement = list;
  for (xml::XmlNode* sat = xml::ChildByPosition(list, 1); sat; sat = xml::NextSibling(sat)) {
    if (!xml::NameIs(sat, "satellite")) continue;
    const int row = gui::CountItems(Gadgets.SatelliteList);
    gui::AddItem(Gadgets.SatelliteList, -1,
                 SatelliteRowText(xml::GetAttribute(sat, TXT("position")),
                                  xml::GetAttribute(sat, TXT("name"))));
    gui::SetItemText(Gadgets.SatelliteList, row,
                     TrdfText(FlagIsSet(sat, TXT("tv")), FlagIsSet(sat, TXT("radio")),
                              FlagIsSet(sat, TXT("data")), FlagIsSet(sat, TXT("feed"))),
                     1);
    if (FlagIsSet(sat, TXT("selected"))) gui::SetItemState(Gadgets.SatelliteList, row, gui::kItemTicked);
    Settings.SatelliteRows.push_back(sat);
  }
}

void FillLanguageList(xml::XmlNode* list) {
  gui::ClearItems(Gadgets.LanguageList);
  Settings.LanguageRows.clear();
  Settings.LanguagePictures.clear();
  Settings.LanguageListElement = list;
  for (xml::XmlNode* language = xml::ChildByPosition(list, 1); language;
       language = xml::NextSibling(language)) {
    if (!xml::NameIs(language, "language")) continue;
    const Text path = Shell.ProgramFolder + kWorkFolder + xml::GetAttribute(language, TXT("img"));
    const int picture = gui::LoadPicture(path);
    if (picture == 0) {
      gui::ShowMessage(TXT("File not found!!"),
                       TXT("We are sorry for the inconveniency but\rinsist you provide the "
                           "correct file and not:\r") +
                           path,
                       gui::kMessageOk);
      continue;
    }
    const Text name = xml::GetAttribute(language, TXT("name"));
    const int row = gui::CountItems(Gadgets.LanguageList);
    gui::AddItem(Gadgets.LanguageList, -1, name, picture);
    Settings.LanguageRows.push_back(language);
    Settings.LanguagePictures.push_back(picture);
    if (FlagIsSet(language, TXT("selected"))) {
      Shell.SelectedLanguage = row;
      gui::SetState(Gadgets.LanguageFlagImage, picture);
      gui::SetText(Gadgets.LanguageNameText, name + TXT(" pages"));
    }
  }
}

}  // namespace

bool FlagIsSet(const xml::XmlNode* element, const Char* attribute) {
  return xml::GetAttribute(element, attribute) == kYes;
}

xml::XmlNode* SatelliteOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(Settings.SatelliteRows.size())) return nullptr;
  return Settings.SatelliteRows[row];
}

xml::XmlNode* LanguageOfRow(int row) {
  if (row < 0 || row >= static_cast<int>(Settings.LanguageRows.size())) return nullptr;
  return Settings.LanguageRows[row];
}

Text ConvertDreamboxPosition(const Text& tenths) {
  // Whole tenths of a degree: blanks and tabs skipped, a sign, decimal digits.
  size_t i = 0;
  while (i < tenths.size() && (tenths[i] == ' ' || tenths[i] == '\t')) ++i;
  bool negative = false;
  if (i < tenths.size() && (tenths[i] == '+' || tenths[i] == '-')) negative = tenths[i++] == '-';
  int64_t n = 0;
  while (i < tenths.size() && tenths[i] >= '0' && tenths[i] <= '9' && n < 100000000000LL)
    n = n * 10 + (tenths[i++] - '0');
  const Text degrees = FormatInteger(n / 10) + TXT(".") + FormatInteger(n % 10);
  return degrees + ((negative && n != 0) ? TXT("W") : TXT("E"));
}

Text SatelliteRowText(const Text& position, const Text& name) {
  return RightAlign(position, 6) + TXT(" ") + name;
}

Text TrdfText(bool tv, bool radio, bool data, bool feed) {
  Text text;
  text += tv ? TXT(" t") : TXT(" -");
  text += radio ? TXT(" r") : TXT(" -");
  text += data ? TXT(" d") : TXT(" -");
  text += feed ? TXT(" f") : TXT(" -");
  return text;
}

void LoadSettings() {
  Shell.BouquetListPosition = -1;
  Settings = SettingsState{};
  if (!CanOpenForReading(kSettingsFile)) {
    const Text path = gui::OpenFileRequester(TXT("Where is DreamBoxEdit satellites.xml ?"),
                                             TXT("satellites.xml"), TXT("*.xml"));
    bool fromDreambox = false;
    if (!path.empty() && CanOpenForReading(path)) {
      if (!LoadXmlFile(DreamboxSatellitesDoc, path, "satellites")) EndProgram();
      fromDreambox = true;
    }
    WriteFirstRunSettings(fromDreambox);
    xml::FreeSlot(DreamboxSatellitesDoc);
  }
  Shell.SelectedLanguage = -1;
  if (!LoadXmlFile(SettingsDoc, kSettingsFile, "orbvane_settings")) EndProgram();

  int position = 1;
  for (xml::XmlNode* child = xml::ChildByPosition(xml::RootElement(SettingsDoc), 1); child;
       child = xml::NextSibling(child), ++position) {
    if (xml::NameIs(child, "satellite_list")) {
      Shell.SatelliteListPosition = position;
      FillSatelliteList(child);
    } else if (xml::NameIs(child, "language_list")) {
      Shell.LanguageListPosition = position;
      FillLanguageList(child);
    } else if (xml::NameIs(child, "bouquet_list")) {
      Shell.BouquetListPosition = position;
      Settings.BouquetListElement = child;
    }
  }
}

void WriteBouquetEntries(int listGadget, const Text& listName) {
  if (!Settings.BouquetListElement) return;
  const int rows = gui::CountItems(listGadget);
  for (int row = 0; row < rows; ++row) {
    if (!(gui::GetItemState(listGadget, row) & gui::kItemTicked)) continue;
    xml::XmlNode* bouquet = xml::AppendElement(Settings.BouquetListElement, TXT("bouquet"));
    xml::SetAttribute(bouquet, TXT("list"), listName);
    xml::SetAttribute(bouquet, TXT("name"), gui::GetItemText(listGadget, row));
    xml::SetAttribute(bouquet, TXT("selected"), kYes);
  }
}

void SaveSettingsAndExit() {
  struct Flag {
    size_t at;  // 0-based character of the TRDF text
    Char letter;
    const Char* attribute;
  };
  static const Flag kFlags[] = {
      {1, 't', TXT("tv")}, {3, 'r', TXT("radio")}, {5, 'd', TXT("data")}, {7, 'f', TXT("feed")}};

  const int rows = gui::CountItems(Gadgets.SatelliteList);
  for (int row = 0; row < rows; ++row) {
    xml::XmlNode* sat = SatelliteOfRow(row);
    if (!sat) continue;
    if (gui::GetItemState(Gadgets.SatelliteList, row) & gui::kItemTicked)
      xml::SetAttribute(sat, TXT("selected"), kYes);
    else
      xml::RemoveAttribute(sat, TXT("selected"));
    const Text trdf = gui::GetItemText(Gadgets.SatelliteList, row, 1);
    for (const Flag& flag : kFlags) {
      if (flag.at < trdf.size() && trdf[flag.at] == flag.letter)
        xml::SetAttribute(sat, flag.attribute, kYes);
      else
        xml::RemoveAttribute(sat, flag.attribute);
    }
  }

  xml::XmlNode* root = xml::RootElement(SettingsDoc);
  if (Shell.BouquetListPosition != -1) {
    xml::DeleteNode(xml::ChildByPosition(root, Shell.BouquetListPosition));
  }
  Settings.BouquetListElement = root ? xml::AppendElement(root, TXT("bouquet_list")) : nullptr;
  WriteBouquetEntries(Gadgets.CountryList, TXT("country"));
  WriteBouquetEntries(Gadgets.ProviderList, TXT("provider"));
  WriteBouquetEntries(Gadgets.GenreList, TXT("genre"));
  WriteBouquetEntries(Gadgets.LanguageFilterList, TXT("language"));

  if (root) {
    xml::Relayout(SettingsDoc);
    xml::SaveFile(SettingsDoc, kSettingsFile);
  }
  xml::FreeSlot(SettingsDoc);
  FreeListFiles();
  EndProgram();
}
