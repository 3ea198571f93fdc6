// The bouquet list text format: the tab-separated lines through which channel
// lists are exchanged with DreamboxEdit. Bouquet files (26 columns) and the
// services import file (columns 5 to 26) share it.
//
// Bytes: the header line ends with CR LF, entry lines with LF alone; one TAB
// between columns; values written without leading or trailing blanks. The
// 8-bit build writes its bytes unchanged, the UTF-16 build writes UTF-8. No
// byte-order mark.
#pragma once

#include <cstdint>
#include <string>

#include "common/text.h"

// One line of a bouquet list file, the fields in column order.
struct BouquetEntry {
  int32_t BouquetNumber = 0;        // 1 "Bouquetnumber"
  int32_t SequenceNumber = 0;       // 2 "Sequence nr in Bouquet"
  Text BouquetType;                 // 3 "Bouquet Type"
  Text BouquetName;                 // 4 "Bouquet Name"
  Text ServiceName;                 // 5 "Service Name"
  Text Package;                     // 6 "Package"
  int32_t Type = 0;                 // 7 "Type"
  Text SatellitePosition;           // 8 "Satellite position"
  Text SatelliteName;               // 9 "Satellite name"
  Text Frequency;                   // 10 "Frequency"
  Text SymbolRate;                  // 11 "Symbolrate"
  Text Polarization;                // 12 "Polarization"
  Text Fec;                         // 13 "FEC"
  Text ServiceId;                   // 14 "Service ID"
  Text TransponderId;               // 15 "Transponder ID"
  Text NetworkId;                   // 16 "Network ID"
  int32_t Namespace = 0;            // 17 "Namespace"
  int32_t ChannelNumber = 0;        // 18 "Channelnumber"
  Text VideoPid;                    // 19 "Video PID"
  Text AudioPid;                    // 20 "Audio PID"
  Text TeletextPid;                 // 21 "Teletext PID"
  Text PcrPid;                      // 22 "PCR PID"
  Text Ac3Pid;                      // 23 "AC3 PID"
  int32_t Flags = 0;                // 24 "Flags"
  Text System;                      // 25 "System"
  Text Modulation;                  // 26 "Modulation"
};

constexpr int kEntryColumnCount = 26;
// First column of the services import file ("Service Name").
constexpr int kFirstServiceColumn = 5;

inline const Text kTvBouquetType = TXT("User Bouquets TV");
inline const Text kRadioBouquetType = TXT("User Bouquets Radio");

// Header line without its line end: the 26 column headers, or with
// withBouquetColumns false columns 5 to 26.
Text EntryHeaderLine(bool withBouquetColumns);

// Column text (1..26) of an entry, integers in decimal.
Text EntryColumnText(const BouquetEntry& entry, int column);
// True for the integer columns 1, 2, 7, 17, 18 and 24.
bool IsIntegerColumn(int column);

// Reading rule of the format: split at TAB, blanks trimmed, integer columns by
// the numeric parse; a missing column is the empty text or 0.
BouquetEntry ParseEntryLine(const Text& line);

// A bouquet list file (or the services import file) being written. Its bytes
// are collected in memory and put in place in one step by FinishEntryFile, so
// a failed write leaves an earlier file of that name whole.
struct EntryFile {
  Text path;
  std::string bytes;
};

// Starts the file with the matching header line ending in CR LF.
void BeginEntryFile(EntryFile& file, const Text& path, bool withBouquetColumns);
// Appends one entry line ending in LF. An entry whose "Service ID" is empty is
// not written; the "Service ID error" box tells the user which one.
void WriteEntryLine(EntryFile& file, const BouquetEntry& entry, bool withBouquetColumns);
// Writes the file beside its path and renames it over; false on any failure.
bool FinishEntryFile(EntryFile& file);
