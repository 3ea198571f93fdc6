// The bouquet list text format: header, line writer and line reader.
#include "bouquets/bouquet_format.h"

#include <charconv>

#include "common/encoding.h"
#include "common/files.h"
#include "platform/gui.h"

namespace {

const Char* const kColumnHeaders[kEntryColumnCount] = {
    TXT("Bouquetnumber"), TXT("Sequence nr in Bouquet"), TXT("Bouquet Type"), TXT("Bouquet Name"),
    TXT("Service Name"),  TXT("Package"),                TXT("Type"),         TXT("Satellite position"),
    TXT("Satellite name"), TXT("Frequency"),             TXT("Symbolrate"),   TXT("Polarization"),
    TXT("FEC"),           TXT("Service ID"),             TXT("Transponder ID"), TXT("Network ID"),
    TXT("Namespace"),     TXT("Channelnumber"),          TXT("Video PID"),    TXT("Audio PID"),
    TXT("Teletext PID"),  TXT("PCR PID"),                TXT("AC3 PID"),      TXT("Flags"),
    TXT("System"),        TXT("Modulation")};

// Text fields by column; nullptr for the integer columns.
Text BouquetEntry::*TextField(int column) {
  switch (column) {
    case 3: return &BouquetEntry::BouquetType;
    case 4: return &BouquetEntry::BouquetName;
    case 5: return &BouquetEntry::ServiceName;
    case 6: return &BouquetEntry::Package;
    case 8: return &BouquetEntry::SatellitePosition;
    case 9: return &BouquetEntry::SatelliteName;
    case 10: return &BouquetEntry::Frequency;
    case 11: return &BouquetEntry::SymbolRate;
    case 12: return &BouquetEntry::Polarization;
    case 13: return &BouquetEntry::Fec;
    case 14: return &BouquetEntry::ServiceId;
    case 15: return &BouquetEntry::TransponderId;
    case 16: return &BouquetEntry::NetworkId;
    case 19: return &BouquetEntry::VideoPid;
    case 20: return &BouquetEntry::AudioPid;
    case 21: return &BouquetEntry::TeletextPid;
    case 22: return &BouquetEntry::PcrPid;
    case 23: return &BouquetEntry::Ac3Pid;
    case 25: return &BouquetEntry::System;
    case 26: return &BouquetEntry::Modulation;
    default: return nullptr;
  }
}

int32_t BouquetEntry::*IntegerField(int column) {
  switch (column) {
    case 1: return &BouquetEntry::BouquetNumber;
    case 2: return &BouquetEntry::SequenceNumber;
    case 7: return &BouquetEntry::Type;
    case 17: return &BouquetEntry::Namespace;
    case 18: return &BouquetEntry::ChannelNumber;
    case 24: return &BouquetEntry::Flags;
    default: return nullptr;
  }
}

bool IsLineBreaking(Char c) { return c == TXT('\t') || c == TXT('\r') || c == TXT('\n'); }

// Appends a value without its leading and trailing blanks, in the file's
// encoding. A TAB, CR or LF inside it would shift the columns or split the
// line; such a character is written as one blank. Large files are written
// line after line, so the usual ASCII value goes straight into the bytes.
void AppendValue(std::string& bytes, TextView value) {
  const size_t first = value.find_first_not_of(TXT(' '));
  if (first == TextView::npos) return;
  value = value.substr(first, value.find_last_not_of(TXT(' ')) - first + 1);
  bool plain = true;
  for (Char c : value) plain = plain && CharCode(c) < 0x80 && !IsLineBreaking(c);
  if (plain) {
    // The same bytes in both builds.
    const size_t at = bytes.size();
    bytes.resize(at + value.size());
    for (size_t i = 0; i < value.size(); ++i) bytes[at + i] = static_cast<char>(value[i]);
    return;
  }
  Text copy(value);
  for (Char& c : copy) {
    if (IsLineBreaking(c)) c = TXT(' ');
  }
  bytes += TextToFileBytes(copy);
}

void AppendInteger(std::string& bytes, int32_t value) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  bytes.append(digits, end);
}

}  // namespace

bool IsIntegerColumn(int column) { return IntegerField(column) != nullptr; }

Text EntryColumnText(const BouquetEntry& entry, int column) {
  if (auto field = IntegerField(column)) return FormatInteger(entry.*field);
  if (auto field = TextField(column)) return entry.*field;
  return Text();
}

Text EntryHeaderLine(bool withBouquetColumns) {
  Text line;
  for (int column = withBouquetColumns ? 1 : kFirstServiceColumn; column <= kEntryColumnCount;
       ++column) {
    if (!line.empty()) line += TXT('\t');
    line += kColumnHeaders[column - 1];
  }
  return line;
}

BouquetEntry ParseEntryLine(const Text& line) {
  BouquetEntry entry;
  size_t start = 0;
  for (int column = 1; column <= kEntryColumnCount && start <= line.size(); ++column) {
    size_t tab = line.find(TXT('\t'), start);
    if (tab == Text::npos) tab = line.size();
    const Text value = Trim(line.substr(start, tab - start));
    if (auto field = IntegerField(column)) {
      entry.*field = static_cast<int32_t>(ParseInteger(value));
    } else if (auto textField = TextField(column)) {
      entry.*textField = value;
    }
    start = tab + 1;
  }
  return entry;
}

void BeginEntryFile(EntryFile& file, const Text& path, bool withBouquetColumns) {
  file.path = path;
  file.bytes = TextToFileBytes(EntryHeaderLine(withBouquetColumns) + TXT("\r\n"));
}

void WriteEntryLine(EntryFile& file, const BouquetEntry& entry, bool withBouquetColumns) {
  if (entry.ServiceId.find_first_not_of(TXT(' ')) == Text::npos) {
    gui::ShowMessage(TXT("Service ID error"), TXT("Skipping: \n") + entry.SatelliteName + TXT("\n") +
                                                 entry.ServiceName + TXT("\n") + entry.Frequency +
                                                 entry.Polarization,
                     gui::kMessageOk);
    return;
  }
  std::string& bytes = file.bytes;
  for (int column = withBouquetColumns ? 1 : kFirstServiceColumn; column <= kEntryColumnCount;
       ++column) {
    if (auto field = IntegerField(column)) {
      AppendInteger(bytes, entry.*field);
    } else if (auto textField = TextField(column)) {
      AppendValue(bytes, entry.*textField);
    }
    bytes.push_back(column == kEntryColumnCount ? '\n' : '\t');
  }
}

bool FinishEntryFile(EntryFile& file) { return WriteFileAtomically(file.path, file.bytes); }
