// The main window and its gadgets.
#include "shell/main_window.h"

#include "bouquets/bouqets.h"
#include "listing/htmllib.h"
#include "platform/gui.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/satellites_tab.h"

MainGadgets Gadgets;

const Text kMainWindowTitle = TXT("Orbvane in XML, <eXpat/> compatible");
const Text kVersionText =
    TXT("VersionDate 2018-05-14  orbvane_xmlplus for Linux, Qt and expat, by the orbvane_xmlplus "
        "contributors");

namespace {

// Check box with its handler (none for boxes read only when needed).
int CheckBox(const char* name, int x, int y, int w, const Char* label, bool ticked,
             Handler handler = nullptr) {
  const int gadget = gui::CreateCheckBox(name, x, y, w, 20, label);
  gui::SetState(gadget, ticked ? 1 : 0);
  if (handler) RegisterHandler(gadget, handler);
  return gadget;
}

int Button(const char* name, int x, int y, int w, int h, const Char* label, bool defaultStyle,
           Handler handler) {
  const int gadget = gui::CreateButton(name, x, y, w, h, label, defaultStyle);
  RegisterHandler(gadget, handler);
  return gadget;
}

int FilterList(const char* name, const Char* column) {
  const int gadget = gui::CreateCheckList(name, 10, 10, 321, 478, column, 300);
  RegisterHandler(gadget, IgnoreFilterListEvent);
  return gadget;
}

// One of the two bouquet trees; both take dropped text, copied or moved.
int BouquetTree(const char* name, int x) {
  const int gadget = gui::CreateTree(name, x, 15, 290, 505);
  gui::EnableTextDrop(gadget);
  RegisterHandler(gadget, TreeEvent);
  return gadget;
}

void BuildSatellitesPage() {
  MainGadgets& g = Gadgets;
  g.SatellitePanel = gui::CreatePanel("SatellitePanel", 5, 5, 350, 525);
  gui::AddPanelTab(g.SatellitePanel, TXT("Satellites"));
  g.SatelliteList = gui::CreateCheckList("SatelliteList", 10, 10, 322, 478, TXT("Satellites"), 256);
  gui::AddListColumn(g.SatelliteList, 1, TXT("TRDF"), 45);
  RegisterHandler(g.SatelliteList, SatelliteListEvent);
  gui::AddPanelTab(g.SatellitePanel, TXT("Language/Langue/Idioma"));
  g.LanguageList = gui::CreateIconList("LanguageList", 10, 10, 322, 478);
  RegisterHandler(g.LanguageList, SelectLanguage);
  gui::ClosePanel();

  g.DiscardHiddenCheck = CheckBox("DiscardHiddenCheck", 375, 25, 170,
                                  TXT("Discard hidden transponders"), false, OptionCheckChanged);
  g.ReuseDownloadsCheck = CheckBox("ReuseDownloadsCheck", 375, 45, 170,
                                   TXT("Use downloaded pages again"), false, OptionCheckChanged);
  g.ApplyTrdfAllCheck =
      CheckBox("ApplyTrdfAllCheck", 375, 65, 200, TXT("Apply TRDF to all checked satellites"), false);
  g.AutoRetryCheck = CheckBox("AutoRetryCheck", 375, 85, 170, TXT("Auto retry download 3x"), false);
  g.CountryViaProviderCheck = CheckBox("CountryViaProviderCheck", 375, 105, 200,
                                       TXT("Find country via provider name"), false);
  g.TranspondersOnlyCheck = CheckBox("TranspondersOnlyCheck", 375, 125, 200,
                                     TXT("Save transponders only"), false, OptionCheckChanged);
  g.DoubleIdentCheck = CheckBox("DoubleIdentCheck", 375, 145, 260,
                                TXT("Check on double service idents within transponder"), true);
  g.DeselectAllSatellitesButton = Button("DeselectAllSatellitesButton", 375, 195, 140, 20,
                                         TXT("Deselect all"), false, TickSatellitesPressed);
  g.SelectAllSatellitesButton = Button("SelectAllSatellitesButton", 375, 225, 140, 20,
                                       TXT("Select all"), false, TickSatellitesPressed);
  g.LanguageFlagImage = gui::CreatePictureBox("LanguageFlagImage", 375, 255, 32, 32);
  g.LanguageNameText = gui::CreateTextLabel("LanguageNameText", 415, 267, 100, 20, TXT("English"));
  g.DownloadButton =
      Button("DownloadButton", 375, 315, 180, 40, TXT("Download"), true, DownloadSatellites);
}

void BuildBouquetsPage() {
  MainGadgets& g = Gadgets;
  g.ListPanel = gui::CreatePanel("ListPanel", 5, 5, 350, 525);
  RegisterHandler(g.ListPanel, ListPanelChanged);
  gui::AddPanelTab(g.ListPanel, TXT("Countries"));
  g.CountryList = FilterList("CountryList", TXT("Countries"));
  gui::AddPanelTab(g.ListPanel, TXT("Providers"));
  g.ProviderList = FilterList("ProviderList", TXT("Providers"));
  gui::AddPanelTab(g.ListPanel, TXT("Genres"));
  g.GenreList = FilterList("GenreList", TXT("Genres"));
  gui::AddPanelTab(g.ListPanel, TXT("Language"));
  g.LanguageFilterList = FilterList("LanguageFilterList", TXT("Language"));
  gui::ClosePanel();

  g.ForceCommaCheck =
      CheckBox("ForceCommaCheck", 375, 25, 165, TXT("Force a comma in the position"), false);
  g.ServicesFileCheck =
      CheckBox("ServicesFileCheck", 375, 45, 165, TXT("Generate services import file"), true);
  g.HdtvBouquetCheck = CheckBox("HdtvBouquetCheck", 375, 65, 165, TXT("add HDTV bouquet (+3D)"),
                                false, HdtvBouquetChanged);
  g.FtaOnlyCheck =
      CheckBox("FtaOnlyCheck", 375, 85, 165, TXT("FTA services only"), false, FtaOnlyChanged);
  g.FtaMarkCombo = gui::CreateComboBox("FtaMarkCombo", 390, 105, 165, 20);
  gui::AddItem(g.FtaMarkCombo, -1, TXT(" No prefix or postfix"));
  gui::AddItem(g.FtaMarkCombo, -1, TXT(" \"FTA\"  prefix service"));
  gui::AddItem(g.FtaMarkCombo, -1, TXT(" service postfix \"FTA\""));
  gui::SetState(g.FtaMarkCombo, 0);
  gui::HideGadget(g.FtaMarkCombo, true);
  RegisterHandler(g.FtaMarkCombo, IgnoreFilterListEvent);
  g.LoadBouquetsButton = Button("LoadBouquetsButton", 375, 275, 180, 25, TXT("Load bouquets"),
                                false, LoadBouquetsPressed);
  g.SelectAllListButton = Button("SelectAllListButton", 375, 195, 140, 20, TXT("Select all"),
                                 false, TickFilterListPressed);
  g.DeselectAllListButton = Button("DeselectAllListButton", 375, 225, 140, 20,
                                   TXT("Deselect all"), false, TickFilterListPressed);
  g.MakeImportButton = Button("MakeImportButton", 375, 325, 180, 40,
                              TXT("Make DreamboxEdit import files"), true, MakeImportPressed);
}

void BuildTreesPage() {
  MainGadgets& g = Gadgets;
  g.LeftTree = BouquetTree("LeftTree", 15);
  g.RightTree = BouquetTree("RightTree", 470);
  g.LoadRightButton =
      Button("LoadRightButton", 395, 25, 70, 20, TXT("Load right"), false, LoadTreePressed);
  g.LoadLeftButton =
      Button("LoadLeftButton", 310, 25, 70, 20, TXT("Load left"), false, LoadTreePressed);
  g.SaveRightButton =
      Button("SaveRightButton", 395, 55, 70, 20, TXT("Save right"), true, SaveTreePressed);
  g.SaveLeftButton =
      Button("SaveLeftButton", 310, 55, 70, 20, TXT("Save left"), true, SaveTreePressed);
  g.ClearRightButton =
      Button("ClearRightButton", 395, 85, 70, 20, TXT("Clear right"), false, ClearTreePressed);
  g.ClearLeftButton =
      Button("ClearLeftButton", 310, 85, 70, 20, TXT("Clear left"), false, ClearTreePressed);
  g.DeleteRightButton =
      Button("DeleteRightButton", 395, 125, 70, 20, TXT("Delete right"), false, DeleteTreePressed);
  g.DeleteLeftButton =
      Button("DeleteLeftButton", 310, 125, 70, 20, TXT("Delete left"), false, DeleteTreePressed);
  g.MoveServicesCheck = CheckBox("MoveServicesCheck", 335, 165, 120, TXT("Move services"), false);
  g.EditModeCheck =
      CheckBox("EditModeCheck", 335, 185, 120, TXT("Edit mode"), false, EditModeChanged);
  g.UpdateRightButton =
      Button("UpdateRightButton", 395, 225, 70, 20, TXT("Update"), false, UpdateTreePressed);
  g.UpdateLeftButton =
      Button("UpdateLeftButton", 310, 225, 70, 20, TXT("Update"), false, UpdateTreePressed);
  g.FindWithinSatelliteCheck =
      CheckBox("FindWithinSatelliteCheck", 335, 255, 120, TXT("Find within satellite"), true);
  g.RemoveNotFoundCheck =
      CheckBox("RemoveNotFoundCheck", 335, 275, 120, TXT("Remove not found"), true);
}

}  // namespace

void BuildMainWindow() {
  MainGadgets& g = Gadgets;
  g.MainWindow = gui::OpenWindow("MainWindow", 0, 0, 800, 600, kMainWindowTitle, gui::kWindowCentered);
  g.MainPanel = gui::CreatePanel("MainPanel", 5, 5, 785, 560);
  RegisterHandler(g.MainPanel, MainPanelChanged);
  gui::AddPanelTab(g.MainPanel, TXT("Orbvane in XML"));
  BuildSatellitesPage();
  gui::AddPanelTab(g.MainPanel, TXT("Bouquets + Services"));
  BuildBouquetsPage();
  gui::AddPanelTab(g.MainPanel, TXT("Drag/Drop bouquets"));
  BuildTreesPage();
  gui::ClosePanel();

  g.VersionText = gui::CreateTextLabel("VersionText", 5, 575, 790, 15, kVersionText);
  g.StatusLine1 = gui::CreateTextLabel("StatusLine1", 5, 568, 790, 15, Text());
  gui::HideGadget(g.StatusLine1, true);
  g.StatusLine2 = gui::CreateTextLabel("StatusLine2", 5, 583, 790, 15, Text());
  gui::HideGadget(g.StatusLine2, true);
  gui::SetLabelEditCallback(g.MainWindow, EndLabelEdit);
  Shell.SelectedLanguage = -1;
}

void ShowTreeFiles() {
  gui::SetText(Gadgets.StatusLine1, Bouquets.LeftTreeFile);
  gui::SetText(Gadgets.StatusLine2, Bouquets.RightTreeFile);
}

int MainPanelChanged(int, int, int, int) {
  const bool treesTab = gui::GetState(Gadgets.MainPanel) == 2;
  if (treesTab) {
    gui::HideGadget(Gadgets.VersionText, true);
    gui::HideGadget(Gadgets.StatusLine1, false);
    gui::HideGadget(Gadgets.StatusLine2, false);
    ShowTreeFiles();
  } else {
    gui::HideGadget(Gadgets.VersionText, false);
    gui::SetText(Gadgets.VersionText, kVersionText);
    gui::HideGadget(Gadgets.StatusLine1, true);
    gui::HideGadget(Gadgets.StatusLine2, true);
  }
  return 0;
}
