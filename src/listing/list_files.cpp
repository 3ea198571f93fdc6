// The four list files of a download (countries, genres, providers, audio
// languages) and the countries derived from the providers.
#include <algorithm>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

using namespace listing_text;

namespace {

bool SortsBefore(const Text& a, const Text& b) { return CompareNoCase(a, b) < 0; }

// An attribute value in UTF-8: markup characters as entities, so that the
// program reads back the text it wrote; characters XML cannot hold dropped.
std::string AttributeValue(const Text& text) {
  Text out;
  out.reserve(text.size());
  for (Char c : text) {
    const unsigned code = CharCode(c);
    switch (code) {
      case '&': out += TXT("&amp;"); break;
      case '<': out += TXT("&lt;"); break;
      case '>': out += TXT("&gt;"); break;
      case '"': out += TXT("&quot;"); break;
      case '\t': out += TXT("&#9;"); break;
      case '\n': out += TXT("&#10;"); break;
      case '\r': out += TXT("&#13;"); break;
      default:
        if (code >= 0x20 && code != 0xFFFE && code != 0xFFFF) out += c;
    }
  }
  return TextToUtf8(out);
}

// A numeric character reference of the page means a text the site did not
// decode; such entries stay out of the list files.
bool HasCharacterReference(const Text& text) { return Contains(text, TXT("&#")); }

void WriteListFile(int statusGadget, const Text& folder, const Char* file, const Char* root,
                   const std::vector<std::string>& entryLines) {
  const Text fileName = file;
  std::string bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
  bytes += "<" + TextToUtf8(root) + ">\r\n";
  for (const std::string& line : entryLines) bytes += line + "\r\n";
  bytes += "</" + TextToUtf8(root) + ">\r\n";
  if (!WriteFileAtomically(folder + fileName, bytes))
    gui::ShowMessage(TXT("File write error."), TXT("Could not create file ") + fileName,
                     gui::kMessageOk);
  gui::PollEvent();
}

std::vector<std::string> NameLines(const char* element, const std::vector<Text>& names) {
  std::vector<std::string> lines;
  for (const Text& name : names)
    if (!HasCharacterReference(name))
      lines.push_back(std::string("   <") + element + " name=\"" + AttributeValue(name) + "\" />");
  return lines;
}

}  // namespace

void WriteListFiles(int statusGadget, const Text& folder) {
  ListingState& l = Listing;

  gui::SetText(statusGadget, TXT("Creating country.xml"));
  std::stable_sort(l.CountryNames.begin(), l.CountryNames.end(), SortsBefore);
  WriteListFile(statusGadget, folder, TXT("country.xml"), TXT("country_list"),
                NameLines("country", l.CountryNames));

  gui::SetText(statusGadget, TXT("Creating genre.xml"));
  std::stable_sort(l.GenreNames.begin(), l.GenreNames.end(), SortsBefore);
  WriteListFile(statusGadget, folder, TXT("genre.xml"), TXT("genre_list"),
                NameLines("genre", l.GenreNames));

  gui::SetText(statusGadget, TXT("Creating provider.xml"));
  std::stable_sort(l.ProviderTable.begin(), l.ProviderTable.end(),
                   [](const ProviderRecord& a, const ProviderRecord& b) {
                     return SortsBefore(a.name, b.name);
                   });
  l.ProviderByKey.clear();
  for (size_t i = 0; i < l.ProviderTable.size(); ++i)
    l.ProviderByKey.emplace(l.ProviderTable[i].key, i);
  std::vector<Text> providerNames;
  for (const ProviderRecord& record : l.ProviderTable) providerNames.push_back(record.name);
  WriteListFile(statusGadget, folder, TXT("provider.xml"), TXT("provider_list"),
                NameLines("provider", providerNames));

  gui::SetText(statusGadget, TXT("Creating language.xml"));
  std::stable_sort(l.LanguageTable.begin(), l.LanguageTable.end(),
                   [](const LanguageRecord& a, const LanguageRecord& b) {
                     return SortsBefore(a.name, b.name);
                   });
  std::vector<std::string> languageLines;
  for (const LanguageRecord& record : l.LanguageTable)
    if (!HasCharacterReference(record.name) && !HasCharacterReference(record.abbreviation))
      languageLines.push_back("   <language name=\"" + AttributeValue(record.name) +
                              "\" abbreviation=\"" + AttributeValue(record.abbreviation) + "\" />");
  WriteListFile(statusGadget, folder, TXT("language.xml"), TXT("language_list"), languageLines);
}

Text ProviderCountry(const Text& providerName) {
  const ListingState& l = Listing;
  const auto found = l.ProviderByKey.find(UpperCase(providerName));
  if (found == l.ProviderByKey.end()) return Text();
  const ProviderRecord& record = l.ProviderTable[found->second];
  return record.name == providerName ? record.country : Text();
}

void DeriveCountries() {
  gui::SetText(Gadgets.VersionText, TXT("Deriving country names..."));
  xml::XmlNode* root = xml::RootElement(DownloadDoc);
  if (!xml::NameIs(root, "orbvane_list")) return;
  auto wrong = [](const Char* what, const xml::XmlNode* node) {
    gui::ShowMessage(TXT("Something is wrong"), what + xml::Name(node), gui::kMessageOk);
  };
  for (xml::XmlNode* satellite = xml::ChildByPosition(root, 1); satellite;
       satellite = xml::NextSibling(satellite)) {
    if (!xml::NameIs(satellite, "satellite")) {
      wrong(TXT("Not a satellite "), satellite);
      continue;
    }
    gui::PollEvent();
    for (xml::XmlNode* transponder = xml::ChildByPosition(satellite, 1); transponder;
         transponder = xml::NextSibling(transponder)) {
      if (!xml::NameIs(transponder, "transponder")) {
        wrong(TXT("Not a transponder "), transponder);
        continue;
      }
      for (xml::XmlNode* service = xml::ChildByPosition(transponder, 1); service;
           service = xml::NextSibling(service)) {
        if (!xml::NameIs(service, "service")) {
          wrong(TXT("Not a channel "), service);
          continue;
        }
        if (Trim(xml::GetAttribute(service, TXT("country"))).empty())
          xml::SetAttribute(service, TXT("country"),
                            ProviderCountry(Trim(xml::GetAttribute(service, TXT("provider")))));
      }
    }
  }
}
