// One service of the satellite data file as one line of the bouquet list
// format: the service type code and the filling of an entry.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

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

// The data file in document order, flat: what a walk over satellites,
// transponders and services meets, with the values that decide whether a
// service is taken. Each such value is held once per distinct text and each
// service refers to it by number, so a walk compares a bouquet's text with
// each distinct value once and then only looks at numbers: one walk per
// bouquet stays cheap on large files. The values point into the document,
// which must stay loaded and unchanged while the walk is used.
struct DataWalkStep {
  enum Kind : uint8_t { Satellite, Transponder, Service, NotSatellite, NotTransponder, NotChannel };
  Kind kind;
  const xml::XmlNode* node;
};

// One attribute of every service: the distinct values as the document holds
// them, and per service (in step order) the number of its value.
struct DataWalkColumn {
  std::vector<std::string_view> values;
  std::vector<uint32_t> ofService;
};

struct DataFileWalk {
  bool built = false;
  DataFileNames names;
  std::vector<DataWalkStep> steps;
  DataWalkColumn country, provider, genre, audio, audioAc3, type, crypt;
};

// Empty (but built) when the root is not "orbvane_list".
void BuildDataFileWalk(DataFileWalk& walk, const xml::XmlNode* root);

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

// The fields that come from the satellite and the transponder, the same for
// every service of that transponder while the comma option stays as it is.
// A walk that handles no event between its services (the option cannot
// change) makes them once per transponder and fills with FillEntryWith.
struct TransponderFields {
  Text satellitePosition, satelliteName, frequency, symbolRate, polarization, fec, transponderId,
      networkId, system, modulation;
  int32_t nameSpace = 0;
};
void MakeTransponderFields(TransponderFields& fields, const DataFileNames& names,
                           const xml::XmlNode* satellite, const xml::XmlNode* transponder,
                           bool forceComma);
// FillEntry with the transponder's fields made beforehand.
void FillEntryWith(BouquetEntry& entry, int32_t bouquetNumber, int32_t sequenceNumber,
                   const Text& bouquetType, const Text& bouquetName, int32_t typeCode,
                   const DataFileNames& names, const TransponderFields& fields,
                   const xml::XmlNode* service);
