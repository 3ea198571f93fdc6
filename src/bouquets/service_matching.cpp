// Matching a bouquet entry against the data file: the satellite keys, the two
// passes of FindService and the index that lets a run of thousands of services
// against tens of thousands in the data file take a fraction of a second.
//
// The index holds what a walk of DataDoc would meet, in document order: the
// satellites with their keys, each satellite's transponders with their values,
// the elements that are neither (each walk that passes one shows a box), and
// for every (service name, service id) the first such service of every
// transponder. FindService replays the walk on it: satellites that match the
// entry in document order, the first pass, then the second, with the boxes of
// every element the walk would have passed before it stopped.
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "bouquets/service_update.h"
#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace {

const Text kWrongTitle = TXT("Something is wrong");

// An element the walk passes with a box, and where it stands: the number of
// satellites (or transponders) before it among its siblings.
struct Stranger {
  size_t before = 0;
  Text name;
};

struct ServiceHit {
  size_t satellite = 0;
  size_t transponder = 0;  // within its satellite
  const xml::XmlNode* service = nullptr;
};

struct IndexedSatellite {
  Text key;
  Text positionPoint;
  Text positionComma;
  std::vector<TransponderValues> transponders;
  std::vector<Stranger> strangers;  // children that are not transponders
};

// Service name and id in one hash key; a name in an XML attribute holds no NUL.
Text ServiceKey(const Text& name, const Text& sid) { return name + Char(0) + sid; }

void ShowWrong(const Char* what, const Text& name) {
  gui::ShowMessage(kWrongTitle, what + name, gui::kMessageOk);
}

}  // namespace

struct ServiceIndex {
  bool validRoot = false;
  std::vector<IndexedSatellite> satellites;
  std::vector<Stranger> strangers;  // children of the root that are not satellites
  std::unordered_map<Text, std::vector<size_t>> bySatelliteKey;
  std::unordered_map<Text, std::vector<size_t>> byPositionPoint;
  std::unordered_map<Text, std::vector<size_t>> byPositionComma;
  std::unordered_map<Text, std::vector<ServiceHit>> byService;
};

namespace {

// Walks the element children of a node; comments and processing instructions
// are not part of the data and are passed over.
template <typename Visit>
void ForEachElement(const xml::XmlNode* parent, Visit visit) {
  for (xml::XmlNode* child = xml::ChildByPosition(parent, 1); child; child = xml::NextSibling(child))
    if (xml::Kind(child) == xml::NodeKind::Element) visit(child);
}

// Names looked up for every element of the data file, interned once per run.
struct DataNames {
  xml::NameKey transponder, service, name, sid;
};

void IndexSatellite(ServiceIndex& index, const DataNames& names, const xml::XmlNode* satellite) {
  const size_t s = index.satellites.size();
  IndexedSatellite& sat = index.satellites.emplace_back();
  sat.key = SatelliteKey(satellite);
  sat.positionPoint = PositionKey(satellite, false);
  sat.positionComma = PositionKey(satellite, true);
  index.bySatelliteKey[sat.key].push_back(s);
  index.byPositionPoint[sat.positionPoint].push_back(s);
  index.byPositionComma[sat.positionComma].push_back(s);
  ForEachElement(satellite, [&](const xml::XmlNode* child) {
    if (!xml::NameIs(child, names.transponder)) {
      sat.strangers.push_back(Stranger{sat.transponders.size(), xml::Name(child)});
      return;
    }
    const size_t t = sat.transponders.size();
    sat.transponders.push_back(ReadTransponderValues(child));
    ForEachElement(child, [&](const xml::XmlNode* service) {
      if (!xml::NameIs(service, names.service)) return;
      std::vector<ServiceHit>& hits = index.byService[ServiceKey(
          xml::GetAttribute(service, names.name), xml::GetAttribute(service, names.sid))];
      // Only the first service of a transponder with this name and id is ever taken.
      if (!hits.empty() && hits.back().satellite == s && hits.back().transponder == t) return;
      hits.push_back(ServiceHit{s, t, service});
    });
  });
}

std::shared_ptr<ServiceIndex> MakeServiceIndex() {
  auto index = std::make_shared<ServiceIndex>();
  const xml::XmlNode* root = xml::RootElement(DataDoc);
  index->validRoot = xml::NameIs(root, "orbvane_list");
  if (!index->validRoot) return index;
  const DataNames names{xml::InternName(root, "transponder"), xml::InternName(root, "service"),
                        xml::InternName(root, "name"), xml::InternName(root, "sid")};
  ForEachElement(root, [&](const xml::XmlNode* child) {
    if (xml::NameIs(child, "satellite"))
      IndexSatellite(*index, names, child);
    else
      index->strangers.push_back(Stranger{index->satellites.size(), xml::Name(child)});
  });
  return index;
}

const std::vector<size_t>* Lookup(const std::unordered_map<Text, std::vector<size_t>>& map,
                                  const Text& key) {
  const auto it = map.find(key);
  return it == map.end() ? nullptr : &it->second;
}

// Satellites matching the entry by either key, in document order, each once.
std::vector<size_t> MatchingSatellites(const ServiceIndex& index, const BouquetEntry& entry,
                                       bool forceComma) {
  std::vector<size_t> result;
  const std::vector<size_t>* byName = Lookup(index.bySatelliteKey, entry.SatelliteName);
  const std::vector<size_t>* byPosition =
      Lookup(forceComma ? index.byPositionComma : index.byPositionPoint, entry.SatellitePosition);
  if (byName) result = *byName;
  if (byPosition) {
    std::vector<size_t> merged;
    std::set_union(result.begin(), result.end(), byPosition->begin(), byPosition->end(),
                   std::back_inserter(merged));
    result.swap(merged);
  }
  return result;
}

// Shows the boxes of the strangers from next on that stand before position.
void ShowStrangersBefore(const std::vector<Stranger>& strangers, size_t& next, size_t position,
                         const Char* what) {
  for (; next < strangers.size() && strangers[next].before <= position; ++next)
    ShowWrong(what, strangers[next].name);
}

// One search of a satellite: the first pass, then the second when within.
bool SearchSatellite(const ServiceIndex& index, size_t s, const std::vector<ServiceHit>* hits,
                     BouquetEntry& entry, bool within) {
  const IndexedSatellite& sat = index.satellites[s];
  const Char* const kNotTransponder = TXT("Not a transponder ");
  const size_t everything = sat.transponders.size();
  const float entryFrequency = ParseDecimal(entry.Frequency);

  const ServiceHit* firstPass = nullptr;
  const ServiceHit* secondPass = nullptr;
  if (hits) {
    for (const ServiceHit& hit : *hits) {
      if (hit.satellite != s) continue;
      if (!secondPass) secondPass = &hit;
      if (IsEntryTransponder(sat.transponders[hit.transponder], entryFrequency, entry)) {
        firstPass = &hit;
        break;
      }
    }
  }

  size_t next = 0;
  if (firstPass) {
    ShowStrangersBefore(sat.strangers, next, firstPass->transponder, kNotTransponder);
    UpdateTransponderFields(entry, sat.key, sat.transponders[firstPass->transponder], true);
    UpdateServiceFields(entry, firstPass->service, true);
    return true;
  }
  ShowStrangersBefore(sat.strangers, next, everything, kNotTransponder);
  if (!within) return false;

  next = 0;
  if (!secondPass) {
    ShowStrangersBefore(sat.strangers, next, everything, kNotTransponder);
    return false;
  }
  ShowStrangersBefore(sat.strangers, next, secondPass->transponder, kNotTransponder);
  const TransponderValues& values = sat.transponders[secondPass->transponder];
  UpdateTransponderFields(entry, sat.key, values, false);
  UpdateServiceFields(entry, secondPass->service, false);
  entry.Frequency = RoundedFrequency(values.Frequency);
  entry.Polarization = values.Polarization;
  ++ServiceUpdate.Counters.ReFound;
  return true;
}

bool FindIndexed(const ServiceIndex& index, BouquetEntry& entry, bool within) {
  if (!index.validRoot) return false;
  const bool forceComma = gui::GetState(Gadgets.ForceCommaCheck) == 1;
  const Char* const kNotSatellite = TXT("Not a satellite ");
  const auto found = index.byService.find(ServiceKey(entry.ServiceName, entry.ServiceId));
  const std::vector<ServiceHit>* hits = found == index.byService.end() ? nullptr : &found->second;

  size_t next = 0;
  for (size_t s : MatchingSatellites(index, entry, forceComma)) {
    ShowStrangersBefore(index.strangers, next, s, kNotSatellite);
    if (SearchSatellite(index, s, hits, entry, within)) return true;
  }
  ShowStrangersBefore(index.strangers, next, index.satellites.size(), kNotSatellite);
  return false;
}

}  // namespace

Text SatelliteKey(const xml::XmlNode* satellite) {
  return xml::GetAttribute(satellite, TXT("position")) + TXT(" ") +
         xml::GetAttribute(satellite, TXT("name"));
}

Text PositionKey(const xml::XmlNode* satellite, bool forceComma) {
  const Text position = xml::GetAttribute(satellite, TXT("position"));
  Text key = Left(position, static_cast<int>(position.size()) - 1);
  if (Find(position, TXT("W")) > 0) key = TXT("-") + key;
  return forceComma ? ReplaceAll(key, TXT("."), TXT(",")) : ReplaceAll(key, TXT(","), TXT("."));
}

bool IsEntryTransponder(const TransponderValues& values, float entryFrequency,
                        const BouquetEntry& entry) {
  return std::fabs(values.Frequency - entryFrequency) < 500.0f &&
         values.Polarization == entry.Polarization;
}

Text RoundedFrequency(float frequency) {
  // A data file can hold any number; what no whole number in range can show is
  // written as 0 rather than converted out of range.
  if (!std::isfinite(frequency) || std::fabs(frequency) > 1e18f) return TXT("0");
  return FormatInteger(std::llround(frequency));
}

void BuildServiceIndex() { ServiceUpdate.Index = MakeServiceIndex(); }

void DropServiceIndex() { ServiceUpdate.Index.reset(); }

bool FindService(BouquetEntry& entry, bool within) {
  if (ServiceUpdate.Index) return FindIndexed(*ServiceUpdate.Index, entry, within);
  const std::shared_ptr<ServiceIndex> once = MakeServiceIndex();
  return FindIndexed(*once, entry, within);
}
