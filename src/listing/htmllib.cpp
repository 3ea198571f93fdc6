// Listing download and conversion: the download driver and the download
// document.
#include "listing/htmllib.h"

#include "bouquets/bouqets.h"
#include "common/files.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/settings.h"
#include "shell/xml_defs.h"

ListingState Listing;

void ResetListingState() { Listing = ListingState{}; }

namespace {

bool IsTicked(int checkBox) { return gui::GetState(checkBox) == 1; }

void SetKindFlags(const xml::XmlNode* satellite) {
  Listing.SkipTv = !FlagIsSet(satellite, TXT("tv"));
  Listing.SkipRadio = !FlagIsSet(satellite, TXT("radio"));
  Listing.SkipData = !FlagIsSet(satellite, TXT("data"));
  Listing.SkipFeed = !FlagIsSet(satellite, TXT("feed"));
}

void ResetCounters() {
  Listing.SatelliteCount = 0;
  Listing.TransponderCount = 0;
  Listing.TvCount = 0;
  Listing.HdCount = 0;
  Listing.RadioCount = 0;
  Listing.DataCount = 0;
  Listing.FeedCount = 0;
}

}  // namespace

void ClearCollections() {
  Listing.CountryNames.clear();
  Listing.GenreNames.clear();
  Listing.ProviderTable.clear();
  Listing.LanguageTable.clear();
  Listing.KnownCountries.clear();
  Listing.KnownGenres.clear();
  Listing.KnownLanguages.clear();
  Listing.ProviderByKey.clear();
  Listing.LastProviderText.clear();
  Listing.LastProvider = 0;
}

Text BuildBaseUrl() {
  Text url = xml::GetAttribute(xml::RootElement(SettingsDoc), TXT("url"));
  if (url.empty()) url = TXT("https://en.") + kListingSiteHost + TXT("/freqs.php?&amp;pos=0.0");
  const int pos = Find(url, TXT("pos="));
  if (pos > 0) url = Left(url, pos + 3);
  if (Shell.SelectedLanguage >= 0) {
    // The row keeps its own language element, also when languages without a
    // flag picture got no row.
    const xml::XmlNode* language = LanguageOfRow(Shell.SelectedLanguage);
    const int dot = Find(url, TXT("."));
    if (language && dot > 0)
      url = TXT("https://") + xml::GetAttribute(language, TXT("pad")) + Mid(url, dot);
  }
  return url;
}

Text PageBasePath(const Text& satelliteName) {
  Text name = Trim(satelliteName);
  for (Char& c : name)
    if (c == Char(' ') || c == Char('/') || c == Char('\\')) c = Char('_');
  return kWorkFolder + name;
}

namespace {

// References into DownloadDoc, dropped whenever the document goes or is made anew.
void ForgetDownloadElements() {
  Listing.CurrentSatellite = nullptr;
  Listing.CurrentTransponder = nullptr;
  Listing.TransponderSids.clear();
  Listing.ServiceKeys = ServiceAttributeKeys{};
}

}  // namespace

bool NewDownloadDoc() {
  ForgetDownloadElements();
  xml::CreateDocument(DownloadDoc);
  return xml::AppendElement(xml::DocumentNode(DownloadDoc), TXT("orbvane_list")) != nullptr;
}

void SaveDownloadDoc(const Text& file) {
  gui::PollEvent();
  xml::Relayout(DownloadDoc);
  gui::PollEvent();
  xml::SaveFile(DownloadDoc, file);
  gui::PollEvent();
  xml::FreeSlot(DownloadDoc);
  ForgetDownloadElements();  // they went with the document
  gui::PollEvent();
}

Text SummaryText() {
  const ListingState& l = Listing;
  return TXT("Done. Satellites:") + FormatInteger(l.SatelliteCount) + TXT(" Transponders:") +
         FormatInteger(l.TransponderCount) + TXT(" Tvs:") + FormatInteger(l.TvCount) +
         TXT(" (HD/3D=") + FormatInteger(l.HdCount) + TXT(")") + TXT(" Radios:") +
         FormatInteger(l.RadioCount) + TXT(" Datas:") + FormatInteger(l.DataCount) +
         TXT(" Feeds:") + FormatInteger(l.FeedCount);
}

int DownloadSatellites(int, int, int, int) {
  const int rows = gui::CountItems(Gadgets.SatelliteList);
  FreeListFiles();
  ClearCollections();
  NewDownloadDoc();
  ResetCounters();

  Shell.OutputFolder = WithTrailingSeparator(
      gui::FolderRequester(TXT("Select the directory to store all files in."), Shell.OutputFolder));
  if (Shell.OutputFolder.empty()) return 0;
  CreateOutputSubfolders();

  const Text baseUrl = BuildBaseUrl();
  for (int row = 0; row < rows; ++row) {
    if (!(gui::GetItemState(Gadgets.SatelliteList, row) & gui::kItemTicked)) continue;
    const xml::XmlNode* satellite = SatelliteOfRow(row);
    if (!satellite) {
      gui::ShowMessage(TXT("Entry not found"),
                       TXT("We are sorry for the inconveniency but\rinsist you provide the correct "
                           "file and not:\r") +
                           gui::GetItemText(Gadgets.SatelliteList, row),
                       gui::kMessageOk);
      continue;
    }
    const Text name = xml::GetAttribute(satellite, TXT("name"));
    const Text position = xml::GetAttribute(satellite, TXT("position"));
    SetKindFlags(satellite);
    FetchSatellitePage(name, position, PageBasePath(name), baseUrl + position, Gadgets.VersionText);
  }

  if (Shell.TranspondersOnlyFlag) {
    SaveDownloadDoc(Shell.OutputFolder + TXT("transponders.xml"));
  } else {
    if (IsTicked(Gadgets.CountryViaProviderCheck)) DeriveCountries();
    SaveDownloadDoc(Shell.OutputFolder + TXT("orbvane.xml"));
  }
  WriteListFiles(Gadgets.VersionText, Shell.OutputFolder);
  if (ReloadFilterLists(Shell.OutputFolder)) gui::SetText(Gadgets.VersionText, SummaryText());
  return 0;
}
