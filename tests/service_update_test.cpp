// The service update: field updates and their report lines, the counters and
// summaries, the satellite keys, both passes of FindService, its agreement with
// the plain walk of the data file, and UpdateServices on a node list.
#include <random>

#include "bouquets/bouqets.h"
#include "bouquets/service_update.h"
#include "common/files.h"
#include "program_harness.h"
#include "service_walk_reference.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace {

const fs::path kFixtures = SourceDir() / "tests" / "fixtures" / "update";

// Bytes of a UTF-8 text as this build writes plain text files.
std::string FileBytes(const std::string& utf8) { return TextToFileBytes(Utf8ToText(utf8)); }

// The lines of a UTF-8 fixture file, as this build's text.
std::vector<Text> FixtureLines(const char* name) {
  return SplitLines(Utf8ToText(ReadBytes(kFixtures / name)));
}

std::string ReportBytes() { return ReadBytes(TextToUtf8(kUpdateReportFile)); }

class ServiceUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ResetProgramState();
    BuildMainWindow();
  }
  void TearDown() override { ResetProgramState(); }

  void LoadData(const fs::path& file) {
    ASSERT_TRUE(LoadXmlFile(DataDoc, Utf8ToText(file.string()), "orbvane_list"));
  }
  void LoadDataBytes(const std::string& bytes) {
    WriteBytes("orbvane.xml", bytes);
    LoadData("orbvane.xml");
  }

  // Fills a tree and its node list from the entry lines of a bouquet file, one
  // type item and one bouquet item per group, as the tree shows such a file.
  void FillTree(int tree, const std::vector<Text>& lines) {
    std::vector<BouquetNode>& nodes =
        tree == Gadgets.LeftTree ? Bouquets.LeftNodes : Bouquets.RightNodes;
    Text lastType, lastName;
    for (size_t i = 1; i < lines.size(); ++i) {
      const BouquetEntry entry = ParseEntryLine(lines[i]);
      const bool newType = i == 1 || entry.BouquetType != lastType;
      if (newType) Append(tree, nodes, 0, entry, entry.BouquetType);
      if (newType || entry.BouquetName != lastName) Append(tree, nodes, 1, entry, entry.BouquetName);
      Append(tree, nodes, 2, entry, entry.ServiceName);
      lastType = entry.BouquetType;
      lastName = entry.BouquetName;
    }
  }
  void Append(int tree, std::vector<BouquetNode>& nodes, int level, const BouquetEntry& entry,
              const Text& text) {
    gui::AddItem(tree, -1, text, 0, level);
    nodes.push_back(BouquetNode{level, 0, entry});
  }

  std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const headless::DialogRecord& r : headless::DialogLog())
      texts.push_back(TextToUtf8(r.title) + " | " + TextToUtf8(r.text));
    return texts;
  }

  TempWorkFolder folder_;
};

BouquetEntry Entry(const char* utf8Line) { return ParseEntryLine(Utf8ToText(utf8Line)); }

// ---- field updates, report lines, counters -----------------------------------------

TEST_F(ServiceUpdateTest, TransponderRowsReportTakeOverAndCountOnlyWhenCounting) {
  WriteBytes("t.xml",
             "<orbvane_list><satellite><transponder frequency=\"11493.75\" polarization=\"H\" "
             "nid=\" 1 \" tid=\"1093\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"22000 kS\" "
             "fec_inner=\" 2/3 \"/></satellite></orbvane_list>");
  LoadData("t.xml");
  const xml::XmlNode* tp = xml::ChildByPosition(xml::ChildByPosition(xml::RootElement(DataDoc), 1), 1);
  const TransponderValues v = ReadTransponderValues(tp);
  EXPECT_EQ(v.Frequency, 11493750.0f);
  EXPECT_EQ(v.SymbolRate, TXT("22000000"));
  EXPECT_EQ(v.Fec, TXT("2/3"));
  EXPECT_EQ(v.NetworkId, TXT("1"));

  for (const bool counting : {true, false}) {
    ServiceUpdate.Counters = UpdateCounters{};
    OpenUpdateReport();
    BouquetEntry e = Entry("0\t0\tT\tB\tArte\t\t1\t19.2\tOld Sat\t11494000\t27500000\tH\t2/3\t10302\t1093\t1\t0\t0\t");
    e.System = TXT("DVB-S2");
    e.Modulation = TXT("8PSK");
    UpdateTransponderFields(e, TXT("19.2E Astra"), v, counting);
    CloseUpdateReport();
    EXPECT_EQ(ReportBytes(),
              "Updated_SatName:    Old Sat 11494000H [Arte] new[19.2E Astra] was[Old Sat]\r\n"
              "Updated_Symbolrate: 19.2E Astra 11494000H [Arte] new[22000000] was[27500000]\r\n");
    EXPECT_EQ(e.SatelliteName, TXT("19.2E Astra"));
    EXPECT_EQ(e.SymbolRate, TXT("22000000"));
    EXPECT_EQ(ServiceUpdate.Counters.SymbolRate, counting ? 1 : 0);
    EXPECT_EQ(TransponderSummaryLine(),
              counting ? TXT("Number of transponder updates:: SymbolRate:1 FEC:0 TID:0 NID:0 "
                             "System:0 Modulation:0")
                       : TXT("Number of transponder updates:: SymbolRate:0 FEC:0 TID:0 NID:0 "
                             "System:0 Modulation:0"));
  }
}

TEST_F(ServiceUpdateTest, ServiceRowsTakeTheFirstAudioPidAndEmptyValues) {
  WriteBytes("s.xml",
             "<orbvane_list><service name=\"X\" provider=\"P2\" vpid=\"\" audio=\" 102:deu;103:eng\" "
             "audio_ac3=\"106\" txt=\"104\"/></orbvane_list>");
  LoadData("s.xml");
  const xml::XmlNode* service = xml::ChildByPosition(xml::RootElement(DataDoc), 1);
  OpenUpdateReport();
  BouquetEntry e = Entry("0\t0\tT\tB\tX\tP1\t1\t13.0\tS\t1\t2\tV\t3/4\t5\t6\t7\t0\t0\t101\t102\t104\t101\t");
  UpdateServiceFields(e, service, true);
  CloseUpdateReport();
  EXPECT_EQ(ReportBytes(),
            "Updated_Package:      S 1V [X] new[P2] was[P1]\r\n"
            "UpdatedVideo_PID:     S 1V [X] new[] was[101]\r\n"
            "Updated_PCR_PID:      S 1V [X] new[] was[101]\r\n"
            "Updated_AC3_PID:      S 1V [X] new[106] was[]\r\n");
  EXPECT_EQ(e.AudioPid, TXT("102"));
  EXPECT_EQ(e.VideoPid, TXT(""));
  EXPECT_EQ(e.Ac3Pid, TXT("106"));
  EXPECT_EQ(ServiceSummaryLine(),
            TXT("Number of service updates:  NOT_FOUND:0 RE_FOUND:0 Package:1 Service ID:0 "
                "Video_PID:1 Audio_PID:0 Teletext_PID:0 PCR_PID:1 AC3_PID:1"));
}

TEST_F(ServiceUpdateTest, ReportLinesAreWrittenInTheBuildsEncoding) {
  OpenUpdateReport();
  BouquetEntry e = Entry("0\t0\tT\tB\tT\xC3\xA9l\xC3\xA9\t\t1\t13.0\tS\t1\t\tV");
  TransponderValues v;
  v.SymbolRate = TXT("27500000");
  v.Polarization = TXT("V");
  UpdateTransponderFields(e, TXT("S"), v, true);
  CloseUpdateReport();
  EXPECT_EQ(ReportBytes(),
            FileBytes("Updated_Symbolrate: S 1V [T\xC3\xA9l\xC3\xA9] new[27500000] was[]\r\n"));
#ifdef OVN_UNICODE
  EXPECT_NE(ReportBytes().find("T\xC3\xA9l\xC3\xA9"), std::string::npos);
#else
  EXPECT_NE(ReportBytes().find("T\xE9l\xE9"), std::string::npos);
#endif
}

// ---- satellite keys ------------------------------------------------------------------

TEST_F(ServiceUpdateTest, SatelliteAndPositionKeys) {
  struct Case {
    const char* position;
    const char* point;
    const char* comma;
  };
  const Case cases[] = {
      {"13.0E", "13.0", "13,0"}, {"30.0W", "-30.0", "-30,0"}, {"19,2E", "19.2", "19,2"},
      {"0.8W", "-0.8", "-0,8"},  {"", "", ""},                {"E", "", ""},
  };
  for (const Case& c : cases) {
    LoadDataBytes(std::string("<orbvane_list><satellite name=\"Sat X\" position=\"") + c.position +
                  "\"/></orbvane_list>");
    const xml::XmlNode* sat = xml::ChildByPosition(xml::RootElement(DataDoc), 1);
    EXPECT_EQ(TextToUtf8(PositionKey(sat, false)), c.point) << c.position;
    EXPECT_EQ(TextToUtf8(PositionKey(sat, true)), c.comma) << c.position;
    EXPECT_EQ(TextToUtf8(SatelliteKey(sat)), std::string(c.position) + " Sat X");
  }
}

TEST_F(ServiceUpdateTest, FrequenciesOfAnyDataFileCompareAndRoundSafely) {
  struct Case {
    const char* mhz;  // the transponder's "frequency"
    const char* entryKhz;
    bool sameTransponder;
    const char* rounded;
  };
  const Case cases[] = {
      {"11766", "11766000", true, "11766000"},
      {"10714.25", "10713751", true, "10714250"},
      {"10714.25", "10714750", false, "10714250"},
      {"11494", "11493500", false, "11494000"},
      {"NaN", "0", false, "0"},
      {"Infinity", "1e30", false, "0"},
      {"-Infinity", "0", false, "0"},
      {"1e30", "0", false, "0"},
      {"-10", "-10000", true, "-10000"},
      {"", "", true, "0"},
      {"x", "499", true, "0"},
  };
  for (const Case& c : cases) {
    LoadDataBytes(std::string("<orbvane_list><transponder polarization=\"H\" frequency=\"") + c.mhz +
                  "\"/></orbvane_list>");
    const TransponderValues v = ReadTransponderValues(xml::ChildByPosition(xml::RootElement(DataDoc), 1));
    BouquetEntry e;
    e.Frequency = Utf8ToText(c.entryKhz);
    e.Polarization = TXT("H");
    EXPECT_EQ(IsEntryTransponder(v, ParseDecimal(e.Frequency), e), c.sameTransponder) << c.mhz;
    EXPECT_EQ(TextToUtf8(RoundedFrequency(v.Frequency)), c.rounded) << c.mhz;
  }
}

// ---- FindService on the fixture data file --------------------------------------------

TEST_F(ServiceUpdateTest, FindServiceCasesOnTheFixture) {
  LoadData(kFixtures / "data" / "orbvane.xml");
  const std::string hb = "\t13.0\t13.0E Hotbird 13B,13C,13E\t";
  struct Case {
    const char* what;
    std::string line;  // columns 1 to 14 and up
    bool within;
    bool comma;
    bool found;
    const char* frequencyAfter;
    const char* polarizationAfter;
    int32_t refound;
  };
  const std::string rai1 = "\tRai 1 HD\tRAI\t25" + hb;
  const Case cases[] = {
      {"200 kHz below", "0\t0\tT\tB" + rai1 + "11033800\t27500000\tV\t3/4\t3401", false, false,
       true, "11033800", "V", 0},
      {"499 kHz above", "0\t0\tT\tB" + rai1 + "11034499\t27500000\tV\t3/4\t3401", false, false,
       true, "11034499", "V", 0},
      {"exactly 500 kHz below", "0\t0\tT\tB" + rai1 + "11033500\t27500000\tV\t3/4\t3401", false,
       false, false, "11033500", "V", 0},
      {"other polarization", "0\t0\tT\tB" + rai1 + "11034000\t27500000\tH\t3/4\t3401", false,
       false, false, "11034000", "H", 0},
      {"500 kHz off, found by the second pass",
       "0\t0\tT\tB" + rai1 + "11034500\t27500000\tV\t3/4\t3401", true, false, true, "11034000",
       "V", 1},
      {"moved transponder", "0\t0\tT\tB\tMoved Channel\tX\t1" + hb + "12100000\t1\tV\t\t777",
       true, false, true, "11766000", "H", 1},
      {"moved transponder, second pass off",
       "0\t0\tT\tB\tMoved Channel\tX\t1" + hb + "12100000\t1\tV\t\t777", false, false, false,
       "12100000", "V", 0},
      {"name differs in case only", "0\t0\tT\tB\tdas erste\tARD\t1" + hb + "11200000\t1\tH\t\t28106",
       true, false, false, "11200000", "H", 0},
      {"other service id", "0\t0\tT\tB\tDas Erste\tARD\t1" + hb + "11200000\t1\tH\t\t28107",
       true, false, false, "11200000", "H", 0},
      {"position under another name",
       "0\t0\tT\tB\tTV Galicia\t\t1\t-30.0\t30.0W Elsewhere\t10730000\t1\tV\t\t1001", false, false,
       true, "10730000", "V", 0},
      {"comma position without the comma option",
       "0\t0\tT\tB\tTV Galicia\t\t1\t-30,0\t30.0W Elsewhere\t10730000\t1\tV\t\t1001", false, false,
       false, "10730000", "V", 0},
      {"comma position with the comma option",
       "0\t0\tT\tB\tTV Galicia\t\t1\t-30,0\t30.0W Elsewhere\t10730000\t1\tV\t\t1001", false, true,
       true, "10730000", "V", 0},
      {"position of another satellite",
       "0\t0\tT\tB\tTV Galicia\t\t1\t13.0\t30.0W Elsewhere\t10730000\t1\tV\t\t1001", true, false,
       false, "10730000", "V", 0},
  };
  for (const Case& c : cases) {
    ServiceUpdate.Counters = UpdateCounters{};
    gui::SetState(Gadgets.ForceCommaCheck, c.comma ? 1 : 0);
    BouquetEntry e = Entry(c.line.c_str());
    EXPECT_EQ(FindService(e, c.within), c.found) << c.what;
    EXPECT_EQ(TextToUtf8(e.Frequency), c.frequencyAfter) << c.what;
    EXPECT_EQ(TextToUtf8(e.Polarization), c.polarizationAfter) << c.what;
    EXPECT_EQ(ServiceUpdate.Counters.ReFound, c.refound) << c.what;
    if (c.found) {
      // The satellite name always follows the data file.
      const std::string satellite = TextToUtf8(e.SatelliteName);
      EXPECT_TRUE(satellite == "13.0E Hotbird 13B,13C,13E" || satellite == "30.0W Hispasat 30W-5")
          << c.what;
    }
  }
  EXPECT_TRUE(headless::DialogLog().empty());
}

TEST_F(ServiceUpdateTest, StrangeElementsGiveABoxPerServiceSearchedUpToTheMatch) {
  LoadDataBytes(
      "<orbvane_list><note/>"
      "<satellite name=\"A\" position=\"13.0E\">"
      "<transponder frequency=\"11000\" polarization=\"H\"><service name=\"One\" sid=\"1\"/></transponder>"
      "<mux/>"
      "<transponder frequency=\"12000\" polarization=\"H\"><service name=\"Two\" sid=\"2\"/></transponder>"
      "<!-- a comment is not an element --></satellite>"
      "<extra/></orbvane_list>");
  struct Case {
    const char* line;
    bool within;
    std::vector<std::string> boxes;
  };
  const std::string sat = "Something is wrong | Not a satellite ";
  const std::string tp = "Something is wrong | Not a transponder mux";
  const Case cases[] = {
      {"0\t0\tT\tB\tOne\t\t1\t13.0\tx\t11000000\t\tH\t\t1", true, {sat + "note"}},
      {"0\t0\tT\tB\tTwo\t\t1\t13.0\tx\t12000000\t\tH\t\t2", true, {sat + "note", tp}},
      {"0\t0\tT\tB\tTwo\t\t1\t13.0\tx\t11000000\t\tH\t\t2", true, {sat + "note", tp, tp}},
      {"0\t0\tT\tB\tThree\t\t1\t13.0\tx\t11000000\t\tH\t\t3", true, {sat + "note", tp, tp, sat + "extra"}},
      {"0\t0\tT\tB\tThree\t\t1\t13.0\tx\t11000000\t\tH\t\t3", false, {sat + "note", tp, sat + "extra"}},
      {"0\t0\tT\tB\tOne\t\t1\t19.2\tx\t11000000\t\tH\t\t1", true, {sat + "note", sat + "extra"}},
  };
  for (const Case& c : cases) {
    for (const bool indexed : {true, false}) {
      headless::Reset();
      ResetProgramState();
      BuildMainWindow();
      LoadData("orbvane.xml");
      headless::Reset();
      BouquetEntry e = Entry(c.line);
      if (indexed)
        FindService(e, c.within);
      else
        reference::FindServicePlain(e, c.within);
      EXPECT_EQ(Messages(), c.boxes) << c.line << (indexed ? " indexed" : " plain walk");
    }
  }
}

// ---- the index agrees with the plain walk ------------------------------------------------

struct RunResult {
  std::vector<bool> found;
  std::vector<Text> entries;
  std::string report;
  std::vector<std::string> boxes;
  Text services;
  Text transponders;
};

// Generated data: duplicate names and ids on one and on several transponders,
// transponders close in frequency, satellites sharing a position, strange
// elements; entries taken from it with some columns, frequencies or keys changed.
std::string GeneratedDataFile(std::mt19937& random, std::vector<std::string>& exportLines) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* const positions[] = {"13.0E", "19.2E", "30.0W", "0.8W", "13.0E"};
  const char* const names[] = {"Alpha", "Beta", "Gamma", "Delta", "alpha"};
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_list>\r\n";
  for (int s = 0; s < 5; ++s) {
    if (pick(4) == 0) xml += "   <stray/>\r\n";
    const std::string position = positions[s];
    const std::string satName = "Sat " + std::to_string(s);
    xml += "   <satellite name=\"" + satName + "\" position=\"" + position + "\">\r\n";
    for (int t = 0; t < 12; ++t) {
      if (pick(10) == 0) xml += "      <multiplex/>\r\n";
      const int mhz = 10700 + pick(8) * 100 + (pick(3) == 0 ? 0 : pick(2));
      const std::string pol = pick(2) ? "H" : "V";
      const std::string sr = std::to_string(22000 + pick(3) * 5500);
      xml += "      <transponder frequency=\"" + std::to_string(mhz) + (pick(3) ? ".5" : "") +
             "\" polarization=\"" + pol + "\" nid=\"" + std::to_string(pick(3)) + "\" tid=\"" +
             std::to_string(pick(5)) + "\" msys=\"DVB-S" + (pick(2) ? "2" : "") +
             "\" mtyp=\"" + (pick(2) ? "8PSK" : "QPSK") + "\" symbol_rate=\"" + sr +
             "\" fec_inner=\"" + (pick(2) ? "3/4" : "2/3") + "\">\r\n";
      for (int v = 0; v < 8; ++v) {
        const std::string name = names[pick(5)];
        const std::string sid = std::to_string(pick(6));
        const std::string vpid = std::to_string(100 + pick(4));
        const std::string audio = std::to_string(200 + pick(4));
        if (pick(12) == 0) xml += "         <other/>\r\n";
        xml += "         <service name=\"" + name + "\" provider=\"P" + std::to_string(pick(3)) +
               "\" sid=\"" + sid + "\" vpid=\"" + vpid + "\" audio=\"" + audio + ":deu\"" +
               (pick(2) ? " txt=\"" + std::to_string(pick(3)) + "\"" : "") + "/>\r\n";
        if (pick(3) != 0) continue;
        // An entry for this service, perhaps off by some kHz, perhaps with
        // another satellite name, polarization or id.
        const int offset = pick(4) == 0 ? 500 * (pick(3) - 1) : pick(700) - 350;
        std::string pos = position.substr(0, position.size() - 1);
        if (position.back() == 'W') pos = "-" + pos;
        if (pick(4) == 0) pos[pos.find('.')] = ',';
        const std::string entrySat = pick(3) == 0 ? "Renamed" : position + " " + satName;
        const std::string entryPol = pick(6) == 0 ? (pol == "H" ? "V" : "H") : pol;
        exportLines.push_back("0\t0\tUser Bouquets TV\tB\t" + name + "\tP" + std::to_string(pick(3)) +
                              "\t1\t" + pos + "\t" + entrySat + "\t" +
                              std::to_string(mhz * 1000 + offset) + "\t" + sr + "000\t" + entryPol +
                              "\t3/4\t" + (pick(8) == 0 ? "99" : sid) + "\t1\t1\t0\t0\t" +
                              std::to_string(100 + pick(4)) + "\t" + audio + "\t\t\t\t0\tDVB-S2\t8PSK");
      }
      xml += "      </transponder>\r\n";
    }
    xml += "   </satellite>\r\n";
  }
  return xml + "</orbvane_list>\r\n";
}

TEST_F(ServiceUpdateTest, IndexedFindGivesExactlyWhatThePlainWalkGives) {
  auto run = [&](const std::vector<Text>& lines, bool indexed, bool within, bool comma) {
    headless::Reset();
    ResetProgramState();
    BuildMainWindow();
    LoadData("orbvane.xml");
    headless::Reset();
    gui::SetState(Gadgets.ForceCommaCheck, comma ? 1 : 0);
    OpenUpdateReport();
    if (indexed) BuildServiceIndex();
    RunResult r;
    for (const Text& line : lines) {
      BouquetEntry e = ParseEntryLine(line);
      r.found.push_back(indexed ? FindService(e, within) : reference::FindServicePlain(e, within));
      Text columns;
      for (int c = 1; c <= kEntryColumnCount; ++c) columns += EntryColumnText(e, c) + TXT("|");
      r.entries.push_back(columns);
    }
    DropServiceIndex();
    CloseUpdateReport();
    r.report = ReportBytes();
    r.boxes = Messages();
    r.services = ServiceSummaryLine();
    r.transponders = TransponderSummaryLine();
    return r;
  };
  auto compare = [&](const std::vector<Text>& lines, const std::string& what) {
    for (const bool within : {true, false}) {
      for (const bool comma : {false, true}) {
        const RunResult plain = run(lines, false, within, comma);
        const RunResult indexed = run(lines, true, within, comma);
        const std::string label = what + (within ? " within" : "") + (comma ? " comma" : "");
        EXPECT_EQ(indexed.found, plain.found) << label;
        EXPECT_EQ(indexed.entries, plain.entries) << label;
        EXPECT_EQ(indexed.report, plain.report) << label;
        EXPECT_EQ(indexed.boxes, plain.boxes) << label;
        EXPECT_EQ(indexed.services, plain.services) << label;
        EXPECT_EQ(indexed.transponders, plain.transponders) << label;
      }
    }
  };

  for (const char* name : {"export.txt", "export_comma.txt", "export_current.txt"}) {
    WriteBytes("orbvane.xml", ReadBytes(kFixtures / "data" / "orbvane.xml"));
    compare(FixtureLines(name), name);
  }

  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 random(seed);
    std::vector<std::string> exportLines;
    WriteBytes("orbvane.xml", GeneratedDataFile(random, exportLines));
    std::vector<Text> lines{Text()};  // the header is not looked at
    for (const std::string& l : exportLines) lines.push_back(Utf8ToText(l));
    const RunResult once = run(lines, false, true, false);
    int found = 0;
    for (bool f : once.found) found += f;
    // The generated cases cover hits, second-pass hits and misses.
    EXPECT_GT(found, 0);
    EXPECT_LT(found, static_cast<int>(once.found.size()));
    compare(lines, "generated data, seed " + std::to_string(seed));
  }
}

// ---- UpdateServices on a node list -----------------------------------------------------

TEST_F(ServiceUpdateTest, UpdateServicesReportsEveryChangeAndMarksWhatWasNotFound) {
  LoadData(kFixtures / "data" / "orbvane.xml");
  for (const bool removeNotFound : {true, false}) {
    ResetBouquetState();
    gui::ClearItems(Gadgets.RightTree);
    gui::SetState(Gadgets.RemoveNotFoundCheck, removeNotFound ? 1 : 0);
    const size_t boxesBefore = headless::DialogLog().size();
    FillTree(Gadgets.RightTree, FixtureLines("export.txt"));
    UpdateServices(Gadgets.RightTree);

    const std::string hb = "13.0E Hotbird 13B,13C,13E";
    EXPECT_EQ(ReportBytes(),
              FileBytes("UpdatedVideo_PID:     " + hb + " 11033800V [Rai 1 HD] new[5101] was[5001]\r\n"
                        "Updated_SatName:    13.0E Hot Bird 11200000H [Das Erste] new[" + hb +
                        "] was[13.0E Hot Bird]\r\n"
                        "Updated_Symbolrate: " + hb + " 11200000H [Das Erste] new[27500000] was[22000000]\r\n"
                        "Removed [Favourites] [das erste] [28106] [" + hb + "] [11200000H]\r\n"
                        "Updated_Symbolrate: " + hb + " 12100000V [Moved Channel] new[29900000] was[27500000]\r\n"
                        "Updated_Tid:        " + hb + " 12100000V [Moved Channel] new[17600] was[12100]\r\n"
                        "Updated_System:     " + hb + " 12100000V [Moved Channel] new[DVB-S2] was[DVB-S]\r\n"
                        "Updated_Modulation: " + hb + " 12100000V [Moved Channel] new[8PSK] was[QPSK]\r\n"
                        "Updated_Package:      " + hb + " 11200000H [T\xC3\xA9l\xC3\xA9 Sud] new[Sud_Co] was[Sud Co]\r\n"
                        "Removed [Gone] [Old Channel] [9999] [" + hb + "] [11034000V]\r\n"
                        "Updated_SatName:    30.0W Hispasat 30W 10730000V [TV Galicia] new[30.0W Hispasat 30W-5] "
                        "was[30.0W Hispasat 30W]\r\n"));
    EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine1)),
              "Number of service updates:  NOT_FOUND:2 RE_FOUND:2 Package:1 Service ID:0 "
              "Video_PID:1 Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0");
    EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine2)),
              "Number of transponder updates:: SymbolRate:1 FEC:0 TID:0 NID:0 System:0 Modulation:0");
    const std::vector<std::string> boxes = Messages();
    EXPECT_EQ(std::vector<std::string>(boxes.begin() + static_cast<long>(boxesBefore), boxes.end()),
              std::vector<std::string>{"Something is wrong | Not found services, see "
                                       "file: updated_removed_services.txt"});
    const std::vector<BouquetNode>& nodes = Bouquets.RightNodes;
    for (const BouquetNode& node : nodes) {
      const bool missing = node.entry.ServiceName == TXT("das erste") ||
                           node.entry.ServiceName == TXT("Old Channel");
      if (node.level == 2 && missing && removeNotFound) continue;  // removed below
      EXPECT_EQ(node.mark, 0) << TextToUtf8(node.entry.ServiceName);
    }
    // The second-pass finds took the transponder's frequency and polarization.
    auto service = [&](const Char* name) -> const BouquetEntry& {
      for (const BouquetNode& node : nodes)
        if (node.level == 2 && node.entry.ServiceName == name) return node.entry;
      ADD_FAILURE() << "no service " << TextToUtf8(name);
      return nodes.front().entry;
    };
    EXPECT_EQ(service(TXT("Rai 2 HD")).Frequency, TXT("11034000"));
    EXPECT_EQ(service(TXT("Moved Channel")).Frequency, TXT("11766000"));
    EXPECT_EQ(service(TXT("Moved Channel")).Polarization, TXT("H"));
  }
}

TEST_F(ServiceUpdateTest, NothingDifferentLeavesAnEmptyReportAndZeroCounters) {
  LoadData(kFixtures / "data" / "orbvane.xml");
  FillTree(Gadgets.LeftTree, FixtureLines("export_current.txt"));
  WriteBytes(TextToUtf8(kUpdateReportFile), "from an earlier run\r\n");
  UpdateServices(Gadgets.LeftTree);
  EXPECT_TRUE(fs::exists(TextToUtf8(kUpdateReportFile)));
  EXPECT_EQ(ReportBytes(), "");
  EXPECT_TRUE(headless::DialogLog().empty());
  EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine1)),
            "Number of service updates:  NOT_FOUND:0 RE_FOUND:0 Package:0 Service ID:0 "
            "Video_PID:0 Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0");
  EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine2)),
            "Number of transponder updates:: SymbolRate:0 FEC:0 TID:0 NID:0 System:0 Modulation:0");
}

TEST_F(ServiceUpdateTest, UpdateWithoutDataFileOnlyTellsTheStatusLine) {
  FillTree(Gadgets.RightTree, FixtureLines("export.txt"));
  const std::vector<BouquetNode> before = Bouquets.RightNodes;
  for (const char* button : {"UpdateLeftButton", "UpdateRightButton"}) {
    gui::SetText(Gadgets.StatusLine1, TXT("left"));
    gui::SetText(Gadgets.StatusLine2, TXT("right"));
    UpdateTreePressed(Gadgets.MainWindow, gui::kEventGadget, G(button), gui::kLeftClick);
    const bool left = std::string(button) == "UpdateLeftButton";
    const std::string missing = TextToUtf8(kMissingXmlFilesText);
    EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine1)), left ? missing : "left");
    EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.StatusLine2)), left ? "right" : missing);
  }
  EXPECT_EQ(Bouquets.RightNodes.size(), before.size());
  EXPECT_FALSE(fs::exists(TextToUtf8(kUpdateReportFile)));
  EXPECT_TRUE(headless::DialogLog().empty());
}

}  // namespace
