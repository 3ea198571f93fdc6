// The main window: its gadgets, the tab change between the version text and
// the tree status lines, and ShowTreeFiles.
#pragma once

#include "common/text.h"

// Handles of the main window's gadgets, 0 until the window is built.
struct MainGadgets {
  int MainWindow = 0;
  int MainPanel = 0;
  int SatellitePanel = 0;
  int SatelliteList = 0;
  int LanguageList = 0;
  int DiscardHiddenCheck = 0;
  int ReuseDownloadsCheck = 0;
  int ApplyTrdfAllCheck = 0;
  int AutoRetryCheck = 0;
  int CountryViaProviderCheck = 0;
  int TranspondersOnlyCheck = 0;
  int DoubleIdentCheck = 0;
  int DeselectAllSatellitesButton = 0;
  int SelectAllSatellitesButton = 0;
  int LanguageFlagImage = 0;
  int LanguageNameText = 0;
  int DownloadButton = 0;
  int ListPanel = 0;
  int CountryList = 0;
  int ProviderList = 0;
  int GenreList = 0;
  int LanguageFilterList = 0;
  int ForceCommaCheck = 0;
  int ServicesFileCheck = 0;
  int HdtvBouquetCheck = 0;
  int FtaOnlyCheck = 0;
  int FtaMarkCombo = 0;
  int LoadBouquetsButton = 0;
  int SelectAllListButton = 0;
  int DeselectAllListButton = 0;
  int MakeImportButton = 0;
  int LeftTree = 0;
  int RightTree = 0;
  int LoadRightButton = 0;
  int LoadLeftButton = 0;
  int SaveRightButton = 0;
  int SaveLeftButton = 0;
  int ClearRightButton = 0;
  int ClearLeftButton = 0;
  int DeleteRightButton = 0;
  int DeleteLeftButton = 0;
  int MoveServicesCheck = 0;
  int EditModeCheck = 0;
  int UpdateRightButton = 0;
  int UpdateLeftButton = 0;
  int FindWithinSatelliteCheck = 0;
  int RemoveNotFoundCheck = 0;
  int VersionText = 0;
  int StatusLine1 = 0;
  int StatusLine2 = 0;
};

extern MainGadgets Gadgets;

extern const Text kMainWindowTitle;
// "VersionDate 2018-05-14" and the authorship line.
extern const Text kVersionText;

// Builds the main window with every gadget and registers their handlers.
void BuildMainWindow();

// StatusLine1 shows the left tree's file, StatusLine2 the right tree's.
void ShowTreeFiles();

// Handler of MainPanel: the bottom line follows the outer tab.
int MainPanelChanged(int window, int eventKind, int gadget, int eventType);
