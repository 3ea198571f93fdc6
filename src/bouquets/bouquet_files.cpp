// The bouquet files of the import: one walk over the data file per ticked row
// of the four filter lists (and one for the HDTV/3DTV bouquet), one file per
// bouquet and kind, and the combined file of every bouquet of the run.
#include <algorithm>
#include <iterator>
#include <string_view>

#include "bouquets/bouqets.h"
#include "bouquets/import_files.h"
#include "bouquets/service_entry.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/xml_defs.h"

namespace {

const Char* const kKindSuffix[] = {TXT("_tv.txt"), TXT("_3dtv.txt"), TXT("_radio.txt")};
constexpr BouquetKind kKinds[] = {kTvKind, kHdtvKind, kRadioKind};

const Text kHdtvBouquetName = TXT("HDTV 3DTV");

// Keeps the window painted during long work; the event itself is dropped.
void DrainOneEvent() { gui::PollEvent(); }

void ShowWriteError(const Text& text) {
  gui::ShowMessage(TXT("File write error."), text, gui::kMessageOk);
}

void SomethingIsWrong(const Char* what, const xml::XmlNode* node) {
  gui::ShowMessage(TXT("Something is wrong"), what + xml::Name(node), gui::kMessageOk);
}

bool IsBlank(char c) { return c == ' '; }

// The crypt value without its blanks is "FTA" in any letter case. Only ASCII
// letters map to F, T and A, so the stored bytes can be looked at directly.
bool IsFreeToAir(std::string_view crypt) {
  while (!crypt.empty() && IsBlank(crypt.front())) crypt.remove_prefix(1);
  while (!crypt.empty() && IsBlank(crypt.back())) crypt.remove_suffix(1);
  if (crypt.size() != 3) return false;
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  return upper(crypt[0]) == 'F' && upper(crypt[1]) == 'T' && upper(crypt[2]) == 'A';
}

// Appends the service at the walk's place to the current list of its kind.
void AddServiceToBouquet(const Text& bouquetName, bool hdtvPass, const DataFileNames& names,
                         const TransponderFields& fields, const xml::XmlNode* transponder,
                         const xml::XmlNode* service) {
  bool isRadio = false;
  const int32_t code = ServiceTypeCode(names, transponder, service, isRadio);
  const BouquetKind kind = isRadio ? kRadioKind : hdtvPass ? kHdtvKind : kTvKind;
  std::vector<BouquetEntry>& list = Bouquets.CurrentBouquetLists[kind];
  // Provisional numbers; WriteBouquetFiles numbers the sorted list.
  const int32_t sequence = static_cast<int32_t>(list.size());
  list.emplace_back();
  FillEntryWith(list.back(), 0, sequence, isRadio ? kRadioBouquetType : kTvBouquetType,
                bouquetName, code, names, fields, service);
}

void ClearCurrentLists() {
  for (auto& list : Bouquets.CurrentBouquetLists) list.clear();
}

void ClearCombinedLists() {
  for (auto& list : Bouquets.CombinedLists) list.clear();
}

}  // namespace

void SortByServiceName(std::vector<BouquetEntry>& list) {
  // The names with A to Z made a to z compare by character code as the
  // comparison without regard to case does; they are made once per entry.
  std::vector<Text> keys(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    keys[i] = list[i].ServiceName;
    for (Char& c : keys[i]) {
      if (c >= TXT('A') && c <= TXT('Z')) c = static_cast<Char>(c + 32);
    }
  }
  // Entries are large: the order is found on positions, then each entry moves once.
  std::vector<uint32_t> order(list.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  std::stable_sort(order.begin(), order.end(),
                   [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
  std::vector<BouquetEntry> sorted;
  sorted.reserve(list.size());
  for (uint32_t i : order) sorted.push_back(std::move(list[i]));
  list.swap(sorted);
}

Text ImportFolder() {
  return gui::GetState(Gadgets.FtaOnlyCheck) == 1 ? Shell.FtaFolder : Shell.AllFolder;
}

Text BouquetFileNameText(const Text& bouquetText) {
  Text text = ReplaceAll(bouquetText, TXT(" "), TXT("_"));
  text = ReplaceAll(text, TXT("\\"), TXT("_"));
  text = ReplaceAll(text, TXT("/"), TXT("_"));
  text = ReplaceAll(text, TXT("?"), TXT("_"));
  return ReplaceAll(text, TXT("__"), TXT("_"));
}

void MakeBouquetFiles() {
  ClearCombinedLists();
  BuildDataFileWalk(Bouquets.ImportWalk, xml::RootElement(DataDoc));
  MakeListBouquets(Gadgets.CountryList);
  MakeListBouquets(Gadgets.ProviderList);
  MakeListBouquets(Gadgets.GenreList);
  MakeListBouquets(Gadgets.LanguageFilterList);
  MakeHdtvBouquet();
  WriteCombinedFile(TXT("Orbvane"));
  ClearCombinedLists();
  Bouquets.ImportWalk = DataFileWalk{};
}

void MakeListBouquets(int listGadget) {
  // The row count is read at each step: the list cannot change meanwhile, as
  // drained events are dropped.
  for (int row = 0; row < gui::CountItems(listGadget); ++row) {
    if (!(gui::GetItemState(listGadget, row) & gui::kItemTicked)) continue;
    const Text bouquetText = gui::GetItemText(listGadget, row);
    ClearCurrentLists();
    CollectBouquet(listGadget, row);
    WriteBouquetFiles(bouquetText);
    AppendToCombined();
    DrainOneEvent();
  }
}

void MakeHdtvBouquet() {
  if (gui::GetState(Gadgets.HdtvBouquetCheck) != 1) return;
  ClearCurrentLists();
  CollectBouquet(0, -1);
  WriteBouquetFiles(TXT("hdtv"));
  AppendToCombined();
}

void CollectBouquet(int listGadget, int row) {
  const bool hdtvPass = listGadget == 0;
  const Text itemText = hdtvPass ? Text() : gui::GetItemText(listGadget, row);
  const bool languagePass = listGadget == Gadgets.LanguageFilterList;
  const Text matchKey = languagePass ? LanguageAbbreviation(itemText) : itemText;

  // A run of MakeBouquetFiles flattens the data file once for all its walks.
  DataFileWalk ownWalk;
  const DataFileWalk* walk = &Bouquets.ImportWalk;
  if (!walk->built) {
    BuildDataFileWalk(ownWalk, xml::RootElement(DataDoc));
    walk = &ownWalk;
  }
  const DataFileNames& names = walk->names;

  // Which distinct values take a service: each is compared once per walk.
  auto valuesWhere = [](const DataWalkColumn& column, auto&& test) {
    std::vector<char> result(column.values.size());
    for (size_t v = 0; v < column.values.size(); ++v) result[v] = test(column.values[v]) ? 1 : 0;
    return result;
  };
  auto equalsKey = [&matchKey](std::string_view held) { return xml::HeldValueEquals(held, matchKey); };
  auto containsKey = [&matchKey](std::string_view held) {
    return xml::HeldValueContains(held, matchKey);
  };
  auto isHdtv = [](std::string_view held) {
    return xml::HeldValueEquals(held, TXT("hdtv")) || xml::HeldValueEquals(held, TXT("3dtv"));
  };
  const DataWalkColumn* matched = nullptr;   // list passes of country, provider, genre
  const DataWalkColumn* alsoMatched = nullptr;  // the second column of the language pass
  std::vector<char> takes, alsoTakes;
  if (hdtvPass) {
    matched = &walk->type;
    takes = valuesWhere(walk->type, isHdtv);
  } else if (languagePass) {
    matched = &walk->audio;
    alsoMatched = &walk->audioAc3;
    takes = valuesWhere(walk->audio, containsKey);
    alsoTakes = valuesWhere(walk->audioAc3, containsKey);
  } else {
    if (listGadget == Gadgets.CountryList) matched = &walk->country;
    if (listGadget == Gadgets.ProviderList) matched = &walk->provider;
    if (listGadget == Gadgets.GenreList) matched = &walk->genre;
    if (matched) takes = valuesWhere(*matched, equalsKey);
  }
  // No event runs during the walk, so the options cannot change in it.
  const bool ftaOnly = gui::GetState(Gadgets.FtaOnlyCheck) == 1;
  const bool forceComma = gui::GetState(Gadgets.ForceCommaCheck) == 1;
  const std::vector<char> freeToAir = valuesWhere(walk->crypt, IsFreeToAir);
  // In the HDTV pass the progress text shows the type of the last service looked at.
  const xml::XmlNode* lastExamined = nullptr;

  const xml::XmlNode* satellite = nullptr;
  const xml::XmlNode* transponder = nullptr;
  // Made when the transponder's first service is taken.
  TransponderFields fields;
  bool fieldsMade = false;
  size_t index = 0;  // of the service among all services
  for (const DataWalkStep& step : walk->steps) {
    switch (step.kind) {
      case DataWalkStep::NotSatellite:
        SomethingIsWrong(TXT("Not a satellite "), step.node);
        continue;
      case DataWalkStep::NotTransponder:
        SomethingIsWrong(TXT("Not a transponder "), step.node);
        continue;
      case DataWalkStep::NotChannel:
        SomethingIsWrong(TXT("Not a channel "), step.node);
        continue;
      case DataWalkStep::Satellite: {
        satellite = step.node;
        const Text shown = hdtvPass ? xml::GetAttribute(lastExamined, names.type) : itemText;
        gui::SetText(Gadgets.VersionText, TXT("Bouquet ") + shown + TXT(" ") +
                                              xml::GetAttribute(satellite, names.name) + TXT("\n"));
        continue;
      }
      case DataWalkStep::Transponder:
        transponder = step.node;
        fieldsMade = false;
        continue;
      case DataWalkStep::Service:
        break;
    }
    const size_t i = index++;
    if (ftaOnly && !freeToAir[walk->crypt.ofService[i]]) continue;
    if (hdtvPass) lastExamined = step.node;
    const bool take = (matched && takes[matched->ofService[i]]) ||
                      (alsoMatched && alsoTakes[alsoMatched->ofService[i]]);
    if (!take) continue;
    if (!fieldsMade) {
      MakeTransponderFields(fields, names, satellite, transponder, forceComma);
      fieldsMade = true;
    }
    AddServiceToBouquet(hdtvPass ? kHdtvBouquetName : itemText, hdtvPass, names, fields,
                        transponder, step.node);
  }
}

void WriteBouquetFiles(const Text& bouquetText) {
  const Text fileText = BouquetFileNameText(bouquetText);
  for (BouquetKind kind : kKinds) {
    std::vector<BouquetEntry>& list = Bouquets.CurrentBouquetLists[kind];
    if (!list.empty()) {
      SortByServiceName(list);
      for (size_t i = 0; i < list.size(); ++i) {
        list[i].BouquetNumber = 0;
        list[i].SequenceNumber = static_cast<int32_t>(i);
      }
      const Text path = ImportFolder() + TXT("Bouquet_") + fileText + kKindSuffix[kind];
      EntryFile file;
      BeginEntryFile(file, path, true);
      for (const BouquetEntry& entry : list) WriteEntryLine(file, entry, true);
      if (FinishEntryFile(file)) {
        DrainOneEvent();
      } else {
        // The list keeps its order and numbers for the combined file.
        ShowWriteError(TXT("Could not create bouquet ") + path);
      }
    }
    if (kind == kTvKind) DrainOneEvent();
  }
  DrainOneEvent();
  DrainOneEvent();
}

void AppendToCombined() {
  for (BouquetKind kind : kKinds) {
    std::vector<BouquetEntry>& current = Bouquets.CurrentBouquetLists[kind];
    if (current.empty()) continue;
    // The current list is cleared before the next bouquet, so its entries move.
    std::vector<BouquetEntry>& combined = Bouquets.CombinedLists[kind];
    combined.insert(combined.end(), std::make_move_iterator(current.begin()),
                    std::make_move_iterator(current.end()));
    current.clear();
    DrainOneEvent();
  }
}

void WriteCombinedFile(const Text& text) {
  const Text path = ImportFolder() + TXT("Bouquet_") + ReplaceAll(text, TXT(" "), TXT("_")) +
                    TXT("_ALL.txt");
  EntryFile file;
  BeginEntryFile(file, path, true);
  // TV bouquets and then the HDTV/3DTV bouquet are numbered on from 0, radio
  // bouquets from 0 again; a bouquet begins where the sequence number is 0.
  auto writeNumbered = [&file](std::vector<BouquetEntry>& list, int32_t& counter) {
    for (BouquetEntry& entry : list) {
      if (entry.SequenceNumber == 0) ++counter;
      entry.BouquetNumber = counter;
      WriteEntryLine(file, entry, true);
    }
    DrainOneEvent();
  };
  int32_t counter = -1;
  writeNumbered(Bouquets.CombinedLists[kTvKind], counter);
  writeNumbered(Bouquets.CombinedLists[kHdtvKind], counter);
  counter = -1;
  writeNumbered(Bouquets.CombinedLists[kRadioKind], counter);
  DrainOneEvent();
  if (!FinishEntryFile(file)) ShowWriteError(TXT("Could not create bouquet ") + path);
}
