// The satellites tab: the TRDF window, the language choice, ticking rows in
// one go and the option flags.
#pragma once

#include "platform/xml_doc.h"

// The open TRDF window's gadgets and the satellite it was opened for.
struct TrdfState {
  int Row = -1;
  xml::XmlNode* Satellite = nullptr;
  int TvKindCheck = 0;
  int RadioKindCheck = 0;
  int DataKindCheck = 0;
  int FeedKindCheck = 0;
};

extern TrdfState Trdf;

// Handler of SatelliteList: a double click opens the TRDF window.
int SatelliteListEvent(int window, int eventKind, int gadget, int eventType);
void OpenTrdfWindow(int row, xml::XmlNode* satellite);
// Applies the window's choices and closes it (its close box).
void CloseTrdfWindow();
// Copies the four check boxes into the element and the row's TRDF text.
void ApplyTrdf(int row, xml::XmlNode* satellite);

// Handler of LanguageList.
int SelectLanguage(int window, int eventKind, int gadget, int eventType);

// Ticks (tick true) or unticks the highlighted rows of a check-box list, or all
// rows when none is highlighted; changed rows lose their highlight.
void TickRows(int listGadget, bool tick);

// Handler of the two select buttons of the satellites tab.
int TickSatellitesPressed(int window, int eventKind, int gadget, int eventType);
// Handler of the option check boxes that have a mirror flag.
int OptionCheckChanged(int window, int eventKind, int gadget, int eventType);
