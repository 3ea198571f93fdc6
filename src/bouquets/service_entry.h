// One service of the satellite data file as one line of the bouquet list
// format: the service type code and the filling of an entry.
#pragma once

#include <cstdint>

#include "bouquets/bouquet_format.h"
#include "common/text.h"
#include "platform/xml_doc.h"

// Element and attribute names of the data file, interned once per walk so that
// visiting a service costs pointer compares rather than text copies.
struct DataFileNames {
  xml::NameKey satellite, transponder, service;
  // satellite
  xml::NameKey position, name;
  // transponder
  xml::NameKey frequency, polarization, nid, tid, msys, mtyp, symbolRate, fecInner;
  // service (name above)
  xml::NameKey type, country, genre, provider, crypt, sid, vpid, audio, audioAc3, pcr, txt;
};

// The names of the document that node belongs to.
DataFileNames InternDataFileNames(const xml::XmlNode* node);

// The first element child of node, or the element after node; comments and
// the like between elements are passed over.
const xml::XmlNode* FirstElementChild(const xml::XmlNode* node);
const xml::XmlNode* NextElement(const xml::XmlNode* node);

// Type codes of the "Type" column.
constexpr int32_t kTypeDvbS = 1;
constexpr int32_t kTypeRadio = 2;
constexpr int32_t kTypeDvbS2_8psk = 25;
constexpr int32_t kTypeDvbS2Other = 134;

// 2 for a radio service (isRadio set); otherwise 1 on a transponder whose system
// has no "S2", 25 on DVB-S2 with 8PSK and 134 on DVB-S2 with another modulation.
int32_t ServiceTypeCode(const DataFileNames& names, const xml::XmlNode* transponder,
                        const xml::XmlNode* service, bool& isRadio);

// "Satellite position" of a trimmed position text such as 19.2E or 30.0W:
// without its letter, a minus sign for West, a decimal comma or point.
Text SatellitePositionText(const Text& trimmedPosition, bool forceComma);
// "Namespace": the position in tenths of a degree (3600 minus that for West)
// times 65536.
int32_t PositionNamespace(const Text& satellitePosition, const Text& trimmedPosition);

// Sets every field of a new entry from the service at the walk's place, with
// the bouquet columns given; reads the options of the second tab at the call.
void FillEntry(BouquetEntry& entry, int32_t bouquetNumber, int32_t sequenceNumber,
               const Text& bouquetType, const Text& bouquetName, int32_t typeCode,
               const DataFileNames& names, const xml::XmlNode* satellite,
               const xml::XmlNode* transponder, const xml::XmlNode* service);
