// One service of the satellite data file as one bouquet entry.
#include "bouquets/service_entry.h"

#include <cmath>
#include <unordered_map>

#include "platform/gui.h"
#include "shell/main_window.h"

namespace {

// Rows of FtaMarkCombo.
constexpr int kFtaPrefixRow = 1;
constexpr int kFtaPostfixRow = 2;

// The text before the first colon of a PID list such as "5012:deu;5013:eng".
Text FirstPid(const Text& value) {
  const Text trimmed = Trim(value);
  return trimmed.substr(0, trimmed.find(TXT(':')));
}

// MHz as written in the data file to kHz digits; a value that is no finite
// number of a sane size gives 0.
Text KilohertzText(const Text& megahertz) {
  const float khz = ParseDecimal(megahertz) * 1000.0f;
  if (!std::isfinite(khz) || std::fabs(khz) >= 9.0e18f) return TXT("0");
  return FormatInteger(std::llround(khz));
}

// kS/s to symbols per second in 64 bits; wraps rather than overflows.
Text SymbolsPerSecondText(const Text& kiloSymbols) {
  const uint64_t value = static_cast<uint64_t>(ParseInteger(kiloSymbols)) * 1000u;
  return FormatInteger(static_cast<int64_t>(value));
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

DataFileNames InternDataFileNames(const xml::XmlNode* node) {
  DataFileNames n;
  auto key = [node](const char* name) { return xml::InternName(node, name); };
  n.satellite = key("satellite");
  n.transponder = key("transponder");
  n.service = key("service");
  n.position = key("position");
  n.name = key("name");
  n.frequency = key("frequency");
  n.polarization = key("polarization");
  n.nid = key("nid");
  n.tid = key("tid");
  n.msys = key("msys");
  n.mtyp = key("mtyp");
  n.symbolRate = key("symbol_rate");
  n.fecInner = key("fec_inner");
  n.type = key("type");
  n.country = key("country");
  n.genre = key("genre");
  n.provider = key("provider");
  n.crypt = key("crypt");
  n.sid = key("sid");
  n.vpid = key("vpid");
  n.audio = key("audio");
  n.audioAc3 = key("audio_ac3");
  n.pcr = key("pcr");
  n.txt = key("txt");
  return n;
}

const xml::XmlNode* FirstElementChild(const xml::XmlNode* node) {
  const xml::XmlNode* child = xml::ChildByPosition(node, 1);
  while (child && xml::Kind(child) != xml::NodeKind::Element) child = xml::NextSibling(child);
  return child;
}

const xml::XmlNode* NextElement(const xml::XmlNode* node) {
  const xml::XmlNode* next = xml::NextSibling(node);
  while (next && xml::Kind(next) != xml::NodeKind::Element) next = xml::NextSibling(next);
  return next;
}

void BuildDataFileWalk(DataFileWalk& walk, const xml::XmlNode* root) {
  walk = DataFileWalk{};
  walk.built = true;
  if (!xml::NameIs(root, "orbvane_list")) return;
  const DataFileNames& n = walk.names = InternDataFileNames(root);
  struct Filling {
    DataWalkColumn* column;
    const xml::NameKey* key;
    std::unordered_map<std::string_view, uint32_t> numbers;
  };
  Filling columns[] = {{&walk.country, &n.country, {}},   {&walk.provider, &n.provider, {}},
                       {&walk.genre, &n.genre, {}},       {&walk.audio, &n.audio, {}},
                       {&walk.audioAc3, &n.audioAc3, {}}, {&walk.type, &n.type, {}},
                       {&walk.crypt, &n.crypt, {}}};
  auto add = [&walk](DataWalkStep::Kind kind, const xml::XmlNode* node) {
    walk.steps.push_back(DataWalkStep{kind, node});
  };
  for (const xml::XmlNode* satellite = FirstElementChild(root); satellite;
       satellite = NextElement(satellite)) {
    if (!xml::NameIs(satellite, n.satellite)) {
      add(DataWalkStep::NotSatellite, satellite);
      continue;
    }
    add(DataWalkStep::Satellite, satellite);
    for (const xml::XmlNode* transponder = FirstElementChild(satellite); transponder;
         transponder = NextElement(transponder)) {
      if (!xml::NameIs(transponder, n.transponder)) {
        add(DataWalkStep::NotTransponder, transponder);
        continue;
      }
      add(DataWalkStep::Transponder, transponder);
      for (const xml::XmlNode* service = FirstElementChild(transponder); service;
           service = NextElement(service)) {
        if (!xml::NameIs(service, n.service)) {
          add(DataWalkStep::NotChannel, service);
          continue;
        }
        add(DataWalkStep::Service, service);
        for (Filling& f : columns) {
          const std::string_view value = xml::AttributeBytes(service, *f.key);
          const auto [at, added] =
              f.numbers.try_emplace(value, static_cast<uint32_t>(f.column->values.size()));
          if (added) f.column->values.push_back(value);
          f.column->ofService.push_back(at->second);
        }
      }
    }
  }
}

int32_t ServiceTypeCode(const DataFileNames& names, const xml::XmlNode* transponder,
                        const xml::XmlNode* service, bool& isRadio) {
  // Blanks around the values are allowed. Only ASCII bytes read as the ASCII
  // letters and digits compared here, so the held bytes can be looked at.
  isRadio = TrimBlanks(xml::AttributeBytes(service, names.type)) == "radio";
  if (isRadio) return kTypeRadio;
  if (xml::AttributeBytes(transponder, names.msys).find("S2") == std::string_view::npos) return kTypeDvbS;
  return TrimBlanks(xml::AttributeBytes(transponder, names.mtyp)) == "8PSK" ? kTypeDvbS2_8psk
                                                                           : kTypeDvbS2Other;
}

Text SatellitePositionText(const Text& trimmedPosition, bool forceComma) {
  Text position = Left(trimmedPosition, static_cast<int>(trimmedPosition.size()) - 1);
  if (Find(trimmedPosition, TXT("W")) > 0) position = TXT("-") + position;
  return forceComma ? ReplaceAll(position, TXT("."), TXT(","))
                    : ReplaceAll(position, TXT(","), TXT("."));
}

int32_t PositionNamespace(const Text& satellitePosition, const Text& trimmedPosition) {
  const float tenths = std::fabs(ParseDecimal(ReplaceAll(satellitePosition, TXT(","), TXT("."))) * 10.0f);
  // A position that is no finite number of a sane size counts as 0.
  const int64_t t = std::isfinite(tenths) && tenths < 2147483648.0f ? static_cast<int64_t>(tenths) : 0;
  const int64_t value = Right(trimmedPosition, 1) == TXT("E") ? t : 3600 - t;
  // The 32-bit column keeps the low 32 bits of value * 65536.
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value) << 16));
}

void MakeTransponderFields(TransponderFields& fields, const DataFileNames& names,
                           const xml::XmlNode* satellite, const xml::XmlNode* transponder,
                           bool forceComma) {
  const Text storedPosition = xml::GetAttribute(satellite, names.position);
  const Text position = Trim(storedPosition);
  fields.satellitePosition = SatellitePositionText(position, forceComma);
  fields.satelliteName = storedPosition + TXT(" ") + xml::GetAttribute(satellite, names.name);
  fields.frequency = KilohertzText(xml::GetAttribute(transponder, names.frequency));
  fields.symbolRate = SymbolsPerSecondText(xml::GetAttribute(transponder, names.symbolRate));
  fields.polarization = xml::GetAttribute(transponder, names.polarization);
  fields.fec = xml::GetAttribute(transponder, names.fecInner);
  fields.transponderId = xml::GetAttribute(transponder, names.tid);
  fields.networkId = xml::GetAttribute(transponder, names.nid);
  fields.nameSpace = PositionNamespace(fields.satellitePosition, position);
  fields.system = xml::GetAttribute(transponder, names.msys);
  fields.modulation = xml::GetAttribute(transponder, names.mtyp);
}

void FillEntry(BouquetEntry& entry, int32_t bouquetNumber, int32_t sequenceNumber,
               const Text& bouquetType, const Text& bouquetName, int32_t typeCode,
               const DataFileNames& names, const xml::XmlNode* satellite,
               const xml::XmlNode* transponder, const xml::XmlNode* service) {
  TransponderFields fields;
  MakeTransponderFields(fields, names, satellite, transponder,
                        gui::GetState(Gadgets.ForceCommaCheck) == 1);
  FillEntryWith(entry, bouquetNumber, sequenceNumber, bouquetType, bouquetName, typeCode, names,
                fields, service);
}

void FillEntryWith(BouquetEntry& entry, int32_t bouquetNumber, int32_t sequenceNumber,
                   const Text& bouquetType, const Text& bouquetName, int32_t typeCode,
                   const DataFileNames& names, const TransponderFields& fields,
                   const xml::XmlNode* service) {
  entry.BouquetNumber = bouquetNumber;
  entry.SequenceNumber = sequenceNumber;
  entry.BouquetType = bouquetType;

  entry.BouquetName = bouquetName;
  if (gui::GetState(Gadgets.FtaOnlyCheck) == 1) {
    const int mark = gui::GetState(Gadgets.FtaMarkCombo);
    if (mark == kFtaPrefixRow) entry.BouquetName = TXT("FTA ") + bouquetName;
    if (mark == kFtaPostfixRow) entry.BouquetName = bouquetName + TXT(" FTA");
  }

  entry.ServiceName = xml::GetAttribute(service, names.name);
  entry.Package = xml::GetAttribute(service, names.provider);
  entry.Type = typeCode;
  entry.SatellitePosition = fields.satellitePosition;
  entry.SatelliteName = fields.satelliteName;
  entry.Frequency = fields.frequency;
  entry.SymbolRate = fields.symbolRate;
  entry.Polarization = fields.polarization;
  entry.Fec = fields.fec;
  entry.TransponderId = fields.transponderId;
  entry.NetworkId = fields.networkId;
  entry.ServiceId = xml::GetAttribute(service, names.sid);
  entry.Namespace = fields.nameSpace;
  entry.ChannelNumber = 0;
  entry.VideoPid = xml::GetAttribute(service, names.vpid);
  const Text audio = xml::GetAttribute(service, names.audio);
  if (!Trim(audio).empty()) entry.AudioPid = FirstPid(audio);
  const Text ac3 = xml::GetAttribute(service, names.audioAc3);
  if (!Trim(ac3).empty()) entry.Ac3Pid = FirstPid(ac3);
  entry.TeletextPid = xml::GetAttribute(service, names.txt);
  entry.PcrPid = xml::GetAttribute(service, names.pcr);
  entry.Flags = 0;
  entry.System = fields.system;
  entry.Modulation = fields.modulation;

  if (Trim(entry.ServiceName).empty()) {
    entry.ServiceName = entry.SatellitePosition + TXT(" ") + entry.Frequency + entry.Polarization;
  }
}
