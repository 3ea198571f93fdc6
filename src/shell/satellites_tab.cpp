// The satellites tab.
#include "shell/satellites_tab.h"

#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/settings.h"

TrdfState Trdf;

namespace {

int KindCheck(const char* name, int y, const Char* label, bool ticked) {
  const int gadget = gui::CreateCheckBox(name, 10, y, 150, 20, label);
  gui::SetState(gadget, ticked ? 1 : 0);
  return gadget;
}

}  // namespace

int SatelliteListEvent(int, int, int, int eventType) {
  if (eventType != gui::kLeftDoubleClick || Shell.TrdfWindow != 0) return 0;
  const int row = gui::GetState(Gadgets.SatelliteList);
  xml::XmlNode* satellite = SatelliteOfRow(row);
  if (satellite) OpenTrdfWindow(row, satellite);
  return 0;
}

void OpenTrdfWindow(int row, xml::XmlNode* satellite) {
  Shell.TrdfWindow = gui::OpenWindow("TrdfWindow", 0, 0, 160, 140,
                                     xml::GetAttribute(satellite, TXT("position")),
                                     gui::kWindowCentered);
  Trdf.Row = row;
  Trdf.Satellite = satellite;
  Trdf.TvKindCheck = KindCheck("TvKindCheck", 15, TXT("TV channels"), FlagIsSet(satellite, TXT("tv")));
  Trdf.RadioKindCheck =
      KindCheck("RadioKindCheck", 35, TXT("Radio channels"), FlagIsSet(satellite, TXT("radio")));
  Trdf.DataKindCheck =
      KindCheck("DataKindCheck", 55, TXT("Data channels"), FlagIsSet(satellite, TXT("data")));
  Trdf.FeedKindCheck = KindCheck("FeedKindCheck", 75, TXT("Feeds"), FlagIsSet(satellite, TXT("feed")));
  gui::UseWindow(Gadgets.MainWindow);
}

void ApplyTrdf(int row, xml::XmlNode* satellite) {
  struct Kind {
    int check;
    const Char* attribute;
  };
  const Kind kinds[] = {{Trdf.TvKindCheck, TXT("tv")},
                        {Trdf.RadioKindCheck, TXT("radio")},
                        {Trdf.DataKindCheck, TXT("data")},
                        {Trdf.FeedKindCheck, TXT("feed")}};
  for (const Kind& kind : kinds) {
    if (gui::GetState(kind.check) == 1)
      xml::SetAttribute(satellite, kind.attribute, TXT("yes"));
    else
      xml::RemoveAttribute(satellite, kind.attribute);
  }
  gui::SetItemText(Gadgets.SatelliteList, row,
                   TrdfText(gui::GetState(Trdf.TvKindCheck) == 1,
                            gui::GetState(Trdf.RadioKindCheck) == 1,
                            gui::GetState(Trdf.DataKindCheck) == 1,
                            gui::GetState(Trdf.FeedKindCheck) == 1),
                   1);
}

void CloseTrdfWindow() {
  const int rows = gui::CountItems(Gadgets.SatelliteList);
  if (gui::GetState(Gadgets.ApplyTrdfAllCheck) == 1 && rows > 0) {
    for (int row = 0; row < rows; ++row) {
      if (gui::GetItemState(Gadgets.SatelliteList, row) & gui::kItemTicked)
        ApplyTrdf(row, SatelliteOfRow(row));
    }
  } else {
    ApplyTrdf(Trdf.Row, Trdf.Satellite);
  }
  gui::CloseWindow(Shell.TrdfWindow);
  Shell.TrdfWindow = 0;
  Trdf = TrdfState{};
}

int SelectLanguage(int, int, int, int) {
  const int row = gui::GetState(Gadgets.LanguageList);
  if (row < 0) return 0;
  if (Shell.SelectedLanguage != -1)
    xml::RemoveAttribute(LanguageOfRow(Shell.SelectedLanguage), TXT("selected"));
  Shell.SelectedLanguage = row;
  if (row < static_cast<int>(Settings.LanguagePictures.size()))
    gui::SetState(Gadgets.LanguageFlagImage, Settings.LanguagePictures[row]);
  gui::SetText(Gadgets.LanguageNameText, gui::GetItemText(Gadgets.LanguageList, row) + TXT(" pages"));
  xml::SetAttribute(LanguageOfRow(row), TXT("selected"), TXT("yes"));
  return 0;
}

void TickRows(int listGadget, bool tick) {
  const int rows = gui::CountItems(listGadget);
  bool anyHighlighted = false;
  for (int row = 0; row < rows && !anyHighlighted; ++row)
    anyHighlighted = (gui::GetItemState(listGadget, row) & gui::kItemHighlighted) != 0;
  for (int row = 0; row < rows; ++row) {
    const int state = gui::GetItemState(listGadget, row);
    if (anyHighlighted && !(state & gui::kItemHighlighted)) continue;
    gui::SetItemState(listGadget, row, tick ? gui::kItemTicked : 0);
  }
}

int TickSatellitesPressed(int, int, int gadget, int) {
  TickRows(Gadgets.SatelliteList, gadget == Gadgets.SelectAllSatellitesButton);
  return 0;
}

int OptionCheckChanged(int, int, int gadget, int) {
  const bool ticked = gui::GetState(gadget) == 1;
  if (gadget == Gadgets.DiscardHiddenCheck) Shell.DiscardHiddenFlag = ticked;
  if (gadget == Gadgets.ReuseDownloadsCheck) Shell.ReuseDownloadsFlag = ticked;
  if (gadget == Gadgets.TranspondersOnlyCheck) Shell.TranspondersOnlyFlag = ticked;
  return 0;
}
