// The plain walk of the data file that FindService must agree with: for every
// entry, every satellite from the start of the document, each matching one
// searched transponder by transponder, nothing indexed. Tests and the benchmark
// run it beside the indexed FindService and compare the two.
#pragma once

#include "bouquets/service_update.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace reference {

// Element children only, as FindService sees the data file.
inline xml::XmlNode* NextElement(xml::XmlNode* node) {
  while (node && xml::Kind(node) != xml::NodeKind::Element) node = xml::NextSibling(node);
  return node;
}

inline xml::XmlNode* FirstElement(const xml::XmlNode* parent) {
  return NextElement(xml::ChildByPosition(parent, 1));
}

inline xml::XmlNode* FollowingElement(const xml::XmlNode* node) {
  return NextElement(xml::NextSibling(node));
}

inline bool FindServicePlain(BouquetEntry& entry, bool within) {
  const xml::XmlNode* root = xml::RootElement(DataDoc);
  if (!xml::NameIs(root, "orbvane_list")) return false;
  for (xml::XmlNode* s = FirstElement(root); s; s = FollowingElement(s)) {
    if (!xml::NameIs(s, "satellite")) {
      gui::ShowMessage(TXT("Something is wrong"), TXT("Not a satellite ") + xml::Name(s),
                       gui::kMessageOk);
      continue;
    }
    const bool comma = gui::GetState(Gadgets.ForceCommaCheck) == 1;
    if (entry.SatelliteName != SatelliteKey(s) && entry.SatellitePosition != PositionKey(s, comma))
      continue;
    for (int pass = 1; pass <= (within ? 2 : 1); ++pass) {
      for (xml::XmlNode* t = FirstElement(s); t; t = FollowingElement(t)) {
        if (!xml::NameIs(t, "transponder")) {
          gui::ShowMessage(TXT("Something is wrong"), TXT("Not a transponder ") + xml::Name(t),
                           gui::kMessageOk);
          continue;
        }
        const TransponderValues values = ReadTransponderValues(t);
        if (pass == 1 && !IsEntryTransponder(values, ParseDecimal(entry.Frequency), entry))
          continue;
        for (xml::XmlNode* v = FirstElement(t); v; v = FollowingElement(v)) {
          if (!xml::NameIs(v, "service") ||
              xml::GetAttribute(v, TXT("name")) != entry.ServiceName ||
              xml::GetAttribute(v, TXT("sid")) != entry.ServiceId)
            continue;
          UpdateTransponderFields(entry, SatelliteKey(s), values, pass == 1);
          UpdateServiceFields(entry, v, pass == 1);
          if (pass == 2) {
            entry.Frequency = RoundedFrequency(values.Frequency);
            entry.Polarization = values.Polarization;
            ++ServiceUpdate.Counters.ReFound;
          }
          return true;
        }
      }
    }
  }
  return false;
}

}  // namespace reference
