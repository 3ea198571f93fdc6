// The service update: every service of a bouquet tree is looked up in the
// data file (DataDoc) by satellite, transponder and service; changed values are
// taken over, each change and each miss goes to the report file
// "updated_removed_services.txt", and services that are gone are removed.
//
// Matching: a satellite element matches an entry by SatelliteKey ("Satellite
// name") or PositionKey ("Satellite position"); within it, the first pass takes
// the first transponder in document order within 500 kHz with equal
// polarization that holds a service of equal name and service id; the second
// pass (with "Find within satellite") takes the first such service on any
// transponder of the satellite and corrects frequency and polarization.
//
// FindService answers from an index of the data file built once per run; it
// gives exactly what a plain walk of the document gives: the same service, the
// same report lines and counters, and the same "Something is wrong" boxes for
// elements that are not satellites or transponders, once per service searched.
#pragma once

#include <cstdint>
#include <memory>

#include "bouquets/bouquet_format.h"
#include "common/files.h"
#include "common/text.h"
#include "platform/xml_doc.h"

inline const Text kUpdateReportFile = TXT("updated_removed_services.txt");
// Status-line text of an Update pressed before any data file was loaded.
inline const Text kMissingXmlFilesText =
    TXT("Missing xml files, use button 'Download' or 'load bouquets', see other tabs.");

// Values of one transponder element, as the update compares them.
struct TransponderValues {
  float Frequency = 0;  // kHz
  Text Polarization;
  Text SymbolRate;      // symbols per second, decimal
  Text Fec;
  Text TransponderId;
  Text NetworkId;
  Text System;
  Text Modulation;
};

// Counters of one update run.
struct UpdateCounters {
  int32_t NotFound = 0;
  int32_t ReFound = 0;
  int32_t Package = 0;
  int32_t ServiceId = 0;  // stays 0: a service is only found by its id
  int32_t Video = 0;
  int32_t Audio = 0;
  int32_t Teletext = 0;
  int32_t Pcr = 0;
  int32_t Ac3 = 0;
  int32_t SymbolRate = 0;
  int32_t Fec = 0;
  int32_t Tid = 0;
  int32_t Nid = 0;
  int32_t System = 0;
  int32_t Modulation = 0;
};

struct ServiceIndex;  // service_matching.cpp

struct ServiceUpdateState {
  UpdateCounters Counters;
  OutTextFile Report;  // UpdateReport; lines written while it is closed are lost
  // Index of DataDoc, alive during one run of UpdateServices.
  std::shared_ptr<ServiceIndex> Index;
};

extern ServiceUpdateState ServiceUpdate;

void ResetServiceUpdateState();

// ---- field updates and the report ----------------------------------------------
TransponderValues ReadTransponderValues(const xml::XmlNode* transponder);

// Creates the report in the program's folder, replacing an earlier one.
void OpenUpdateReport();
void WriteReportLine(const Text& line);
void CloseUpdateReport();

// Compares the entry's transponder columns with the values; each difference
// writes an update line, takes the new value and, when counting, counts.
void UpdateTransponderFields(BouquetEntry& entry, const Text& satelliteKey,
                             const TransponderValues& values, bool counting);
// Likewise for the service columns and a service element.
void UpdateServiceFields(BouquetEntry& entry, const xml::XmlNode* service, bool counting);

// "[Bouquet Name] [Service Name] [Service ID] [Satellite name] [FrequencyPolarization]".
Text ProgressText(const BouquetEntry& entry);

// The summaries that end a run: services (StatusLine1), transponders (StatusLine2).
Text ServiceSummaryLine();
Text TransponderSummaryLine();

// ---- matching --------------------------------------------------------------------
// "position name" of a satellite element: the form of the "Satellite name" column.
Text SatelliteKey(const xml::XmlNode* satellite);
// The position without its E/W letter, "-" in front for West, decimal comma or
// point by option: the form of the "Satellite position" column.
Text PositionKey(const xml::XmlNode* satellite, bool forceComma);
// First-pass test: within 500 kHz of the entry's frequency, equal polarization.
bool IsEntryTransponder(const TransponderValues& values, float entryFrequency,
                        const BouquetEntry& entry);
// The entry's frequency after a second-pass match: the transponder's, in kHz,
// rounded to a whole number.
Text RoundedFrequency(float frequency);

// Builds the index of DataDoc for the run; FindService uses it until
// DropServiceIndex. Without it FindService indexes DataDoc for one call.
void BuildServiceIndex();
void DropServiceIndex();

// Looks the entry up in DataDoc and updates it in place; true when found.
// within: also search the whole satellite ("Find within satellite").
bool FindService(BouquetEntry& entry, bool within);

// ---- the run ------------------------------------------------------------------------
// Updates every service item of the tree (LeftTree or RightTree).
void UpdateServices(int tree);
