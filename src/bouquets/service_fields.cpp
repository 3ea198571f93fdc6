// Field updates of a found service, the counters, the report file and the
// summary lines.
#include <iterator>

#include "bouquets/service_update.h"
#include "shell/orbvane_xmlplus.h"

ServiceUpdateState ServiceUpdate;

void ResetServiceUpdateState() {
  CloseUpdateReport();
  ServiceUpdate = ServiceUpdateState{};
}

namespace {

// First PID of an audio attribute "pid:lang;pid:lang".
Text FirstPid(const Text& audio) { return Field(Trim(audio), 1, TXT(":")); }

// One update line: label, satellite, frequency and polarization, service, new
// and old value, with the entry's values at the moment of writing.
void ReportChange(const BouquetEntry& entry, const Char* label, const Text& newValue,
                  const Text& oldValue) {
  Text line;
  line.reserve(64 + entry.SatelliteName.size() + entry.ServiceName.size() + newValue.size() +
               oldValue.size());
  line.append(label).append(entry.SatelliteName).append(TXT(" "));
  line.append(entry.Frequency).append(entry.Polarization).append(TXT(" ["));
  line.append(entry.ServiceName).append(TXT("] new[")).append(newValue);
  line.append(TXT("] was[")).append(oldValue).append(TXT("]"));
  WriteReportLine(line);
}

void UpdateColumn(BouquetEntry& entry, Text BouquetEntry::*column, const Text& newValue,
                  const Char* label, int32_t UpdateCounters::*counter, bool counting) {
  if (entry.*column == newValue) return;
  ReportChange(entry, label, newValue, entry.*column);
  entry.*column = newValue;
  if (counting && counter) ++(ServiceUpdate.Counters.*counter);
}

}  // namespace

TransponderValues ReadTransponderValues(const xml::XmlNode* transponder) {
  TransponderValues v;
  v.Frequency = ParseDecimal(xml::GetAttribute(transponder, TXT("frequency"))) * 1000.0f;
  v.Polarization = xml::GetAttribute(transponder, TXT("polarization"));
  // 64-bit arithmetic that wraps instead of overflowing on a nonsense value.
  const uint64_t symbolRate =
      static_cast<uint64_t>(ParseInteger(xml::GetAttribute(transponder, TXT("symbol_rate"))));
  v.SymbolRate = FormatInteger(static_cast<int64_t>(symbolRate * 1000u));
  v.Fec = Trim(xml::GetAttribute(transponder, TXT("fec_inner")));
  v.TransponderId = Trim(xml::GetAttribute(transponder, TXT("tid")));
  v.NetworkId = Trim(xml::GetAttribute(transponder, TXT("nid")));
  v.System = Trim(xml::GetAttribute(transponder, TXT("msys")));
  v.Modulation = Trim(xml::GetAttribute(transponder, TXT("mtyp")));
  return v;
}

void OpenUpdateReport() {
  OpenOutTextFile(ServiceUpdate.Report, Shell.ProgramFolder + kUpdateReportFile);
}

void WriteReportLine(const Text& line) {
  if (ServiceUpdate.Report.stream.is_open()) WriteText(ServiceUpdate.Report, line + TXT("\r\n"));
}

void CloseUpdateReport() {
  if (ServiceUpdate.Report.stream.is_open()) CloseOutTextFile(ServiceUpdate.Report);
}

void UpdateTransponderFields(BouquetEntry& entry, const Text& satelliteKey,
                             const TransponderValues& values, bool counting) {
  struct Row {
    Text BouquetEntry::*column;
    const Text& newValue;
    const Char* label;
    int32_t UpdateCounters::*counter;
  };
  const Row rows[] = {
      {&BouquetEntry::SatelliteName, satelliteKey, TXT("Updated_SatName:    "), nullptr},
      {&BouquetEntry::SymbolRate, values.SymbolRate, TXT("Updated_Symbolrate: "),
       &UpdateCounters::SymbolRate},
      {&BouquetEntry::Fec, values.Fec, TXT("Updated_FEC:        "), &UpdateCounters::Fec},
      {&BouquetEntry::TransponderId, values.TransponderId, TXT("Updated_Tid:        "),
       &UpdateCounters::Tid},
      {&BouquetEntry::NetworkId, values.NetworkId, TXT("Updated_Nid:        "),
       &UpdateCounters::Nid},
      {&BouquetEntry::System, values.System, TXT("Updated_System:     "), &UpdateCounters::System},
      {&BouquetEntry::Modulation, values.Modulation, TXT("Updated_Modulation: "),
       &UpdateCounters::Modulation},
  };
  for (const Row& row : rows)
    UpdateColumn(entry, row.column, row.newValue, row.label, row.counter, counting);
}

void UpdateServiceFields(BouquetEntry& entry, const xml::XmlNode* service, bool counting) {
  struct Row {
    Text BouquetEntry::*column;
    Text newValue;
    const Char* label;
    int32_t UpdateCounters::*counter;
  };
  const Row rows[] = {
      {&BouquetEntry::Package, xml::GetAttribute(service, TXT("provider")),
       TXT("Updated_Package:      "), &UpdateCounters::Package},
      {&BouquetEntry::VideoPid, xml::GetAttribute(service, TXT("vpid")),
       TXT("UpdatedVideo_PID:     "), &UpdateCounters::Video},
      {&BouquetEntry::AudioPid, FirstPid(xml::GetAttribute(service, TXT("audio"))),
       TXT("Updated_Audio_PID:    "), &UpdateCounters::Audio},
      {&BouquetEntry::TeletextPid, xml::GetAttribute(service, TXT("txt")),
       TXT("Updated_Teletext_PID: "), &UpdateCounters::Teletext},
      {&BouquetEntry::PcrPid, xml::GetAttribute(service, TXT("pcr")),
       TXT("Updated_PCR_PID:      "), &UpdateCounters::Pcr},
      {&BouquetEntry::Ac3Pid, FirstPid(xml::GetAttribute(service, TXT("audio_ac3"))),
       TXT("Updated_AC3_PID:      "), &UpdateCounters::Ac3},
  };
  for (const Row& row : rows)
    UpdateColumn(entry, row.column, row.newValue, row.label, row.counter, counting);
}

Text ProgressText(const BouquetEntry& entry) {
  return TXT("[") + entry.BouquetName + TXT("] [") + entry.ServiceName + TXT("] [") +
         entry.ServiceId + TXT("] [") + entry.SatelliteName + TXT("] [") + entry.Frequency +
         entry.Polarization + TXT("]");
}

namespace {

struct SummaryItem {
  const Char* label;
  int32_t UpdateCounters::*counter;
};

Text Summary(const Char* head, const SummaryItem* items, size_t count) {
  Text line = head;
  for (size_t i = 0; i < count; ++i)
    line += items[i].label + FormatInteger(ServiceUpdate.Counters.*items[i].counter);
  return line;
}

}  // namespace

Text ServiceSummaryLine() {
  static const SummaryItem kItems[] = {
      {TXT(" NOT_FOUND:"), &UpdateCounters::NotFound},
      {TXT(" RE_FOUND:"), &UpdateCounters::ReFound},
      {TXT(" Package:"), &UpdateCounters::Package},
      {TXT(" Service ID:"), &UpdateCounters::ServiceId},
      {TXT(" Video_PID:"), &UpdateCounters::Video},
      {TXT(" Audio_PID:"), &UpdateCounters::Audio},
      {TXT(" Teletext_PID:"), &UpdateCounters::Teletext},
      {TXT(" PCR_PID:"), &UpdateCounters::Pcr},
      {TXT(" AC3_PID:"), &UpdateCounters::Ac3},
  };
  return Summary(TXT("Number of service updates: "), kItems, std::size(kItems));
}

Text TransponderSummaryLine() {
  static const SummaryItem kItems[] = {
      {TXT(" SymbolRate:"), &UpdateCounters::SymbolRate},
      {TXT(" FEC:"), &UpdateCounters::Fec},
      {TXT(" TID:"), &UpdateCounters::Tid},
      {TXT(" NID:"), &UpdateCounters::Nid},
      {TXT(" System:"), &UpdateCounters::System},
      {TXT(" Modulation:"), &UpdateCounters::Modulation},
  };
  return Summary(TXT("Number of transponder updates::"), kItems, std::size(kItems));
}
