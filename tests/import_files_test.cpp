// The import files: service entries, bouquet files, the combined file, the
// services file and the filter lists, called directly on the headless backend.
#include "program_harness.h"

#include "bouquets/bouqets.h"
#include "bouquets/import_files.h"
#include "bouquets/service_entry.h"
#include "common/files.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/xml_defs.h"

namespace {

std::string U(const Text& text) { return TextToUtf8(text); }

const char* const kListFiles[][2] = {
    {"country.xml", "<country_list>\r\n   <country name=\"Germany\" />\r\n</country_list>\r\n"},
    {"genre.xml", "<genre_list>\r\n</genre_list>\r\n"},
    {"provider.xml", "<provider_list>\r\n</provider_list>\r\n"},
    {"language.xml", "<language_list>\r\n</language_list>\r\n"},
};

// A data file of one satellite and one transponder holding the given services.
std::string DataFile(const std::string& services) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_list>\r\n"
         "   <satellite name=\"Astra\" position=\"19.2E\" url=\"u\">\r\n"
         "      <transponder frequency=\"11494\" polarization=\"H\" nid=\"1\" tid=\"1019\" "
         "msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"22000\" fec_inner=\"2/3\">\r\n" +
         services +
         "      </transponder>\r\n   </satellite>\r\n</orbvane_list>\r\n";
}

std::string Service(const std::string& name, const std::string& country, const std::string& sid,
                    const std::string& type = "tv") {
  return "         <service type=\"" + type + "\" name=\"" + name + "\" country=\"" + country +
         "\" genre=\"\" provider=\"P\" crypt=\"\" sid=\"" + sid + "\" vpid=\"1\"/>\r\n";
}

class ImportFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ResetProgramState();
    Settings = SettingsState{};
    BuildMainWindow();
    Shell.OutputFolder = WithTrailingSeparator(WorkingFolder());
    CreateOutputSubfolders();
  }
  // Writes the data file and list files into the working folder and loads them.
  void Load(const std::string& data, const char* const (*lists)[2] = kListFiles) {
    WriteBytes("orbvane.xml", data);
    for (int i = 0; i < 4; ++i) WriteBytes(lists[i][0], lists[i][1]);
    ASSERT_TRUE(ReloadFilterLists(Shell.OutputFolder));
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> boxes;
    for (const auto& r : headless::DialogLog()) boxes.push_back(U(r.title) + "|" + U(r.text));
    return boxes;
  }
  TempWorkFolder folder_;
};

// ---------------------------------------------------------------- entries

TEST(ServiceEntryTest, TypeCodeByKindSystemAndModulation) {
  struct Case {
    const char* msys;
    const char* mtyp;
    const char* type;
    int32_t code;
    bool radio;
  };
  const Case cases[] = {
      {"DVB-S2", "8PSK", "tv", 25, false},     {"DVB-S2", "QPSK", "hdtv", 134, false},
      {"DVB-S2", "***", "data", 134, false},   {"DVB-S", "8PSK", "tv", 1, false},
      {"***", "QPSK", "feed", 1, false},       {"dvb-s2", "8PSK", "tv", 1, false},
      {" DVB-S2 ", " 8PSK ", "3dtv", 25, false}, {"DVB-S2", "8PSK", "radio", 2, true},
      {"DVB-S2", "8PSK", " radio ", 2, true},  {"DVB-S", "QPSK", "Radio", 1, false},
  };
  for (const Case& c : cases) {
    xml::LoadBytes(DataDoc, std::string("<t msys=\"") + c.msys + "\" mtyp=\"" + c.mtyp +
                                "\"><service type=\"" + c.type + "\"/></t>");
    const xml::XmlNode* transponder = xml::RootElement(DataDoc);
    const DataFileNames names = InternDataFileNames(transponder);
    bool radio = !c.radio;
    EXPECT_EQ(ServiceTypeCode(names, transponder, xml::ChildByPosition(transponder, 1), radio), c.code)
        << c.msys << " " << c.mtyp << " " << c.type;
    EXPECT_EQ(radio, c.radio) << c.type;
  }
  xml::FreeSlot(DataDoc);
}

TEST_F(ImportFilesTest, EntryTakesPositionNamespaceFrequencyPidsAndTheFtaMark) {
  struct Case {
    const char* position;
    bool comma;
    const char* satellitePosition;
    int32_t namespaceValue;
  };
  const Case cases[] = {
      {"19.2E", false, "19.2", 192 * 65536},    {"19.2E", true, "19,2", 192 * 65536},
      {"30.0W", false, "-30.0", 3300 * 65536},  {"30.0W", true, "-30,0", 3300 * 65536},
      {" 13.0E ", false, "13.0", 130 * 65536},  {"5,0W", false, "-5.0", 3550 * 65536},
      {"19.2", false, "19.", 3410 * 65536},     {"", false, "", 3600 * 65536},
      {"InfinityE", false, "Infinity", 0},
  };
  for (const Case& c : cases) {
    xml::LoadBytes(DataDoc,
                   std::string("<satellite name=\"Astra\" position=\"") + c.position +
                       "\"><transponder frequency=\"10714.25\" polarization=\"V\" "
                       "symbol_rate=\"27500abc\" msys=\"DVB-S2\" mtyp=\"8PSK\" fec_inner=\"3/4\" "
                       "tid=\"7\" nid=\"8\"><service name=\"\" provider=\"P\" sid=\"9\" "
                       "audio=\" 1234:deu;1235:eng \" audio_ac3=\"77\" txt=\"5\" pcr=\"6\"/>"
                       "</transponder></satellite>");
    const xml::XmlNode* satellite = xml::RootElement(DataDoc);
    const xml::XmlNode* transponder = xml::ChildByPosition(satellite, 1);
    const xml::XmlNode* service = xml::ChildByPosition(transponder, 1);
    gui::SetState(Gadgets.ForceCommaCheck, c.comma ? 1 : 0);
    BouquetEntry e;
    FillEntry(e, 3, 4, kTvBouquetType, TXT("Germany"), 25, InternDataFileNames(satellite), satellite,
              transponder, service);
    EXPECT_EQ(U(e.SatellitePosition), c.satellitePosition) << c.position;
    EXPECT_EQ(e.Namespace, c.namespaceValue) << c.position;
    EXPECT_EQ(U(e.SatelliteName), std::string(c.position) + " Astra");
    // A service without a name is named by position, frequency and polarization.
    EXPECT_EQ(U(e.ServiceName), std::string(c.satellitePosition) + " 10714250V");
    EXPECT_EQ(U(e.Frequency), "10714250");
    EXPECT_EQ(U(e.SymbolRate), "27500000");
    EXPECT_EQ(U(e.AudioPid), "1234");
    EXPECT_EQ(U(e.Ac3Pid), "77");
    EXPECT_EQ(e.BouquetNumber, 3);
    EXPECT_EQ(e.SequenceNumber, 4);
    EXPECT_EQ(e.Type, 25);
    EXPECT_EQ(U(e.BouquetName), "Germany");
  }

  // The mark needs FtaOnlyCheck; the combo's row alone changes nothing.
  struct Mark {
    int fta;
    int row;
    const char* name;
  };
  const Mark marks[] = {{0, 1, "Germany"}, {0, 2, "Germany"}, {1, 0, "Germany"},
                        {1, 1, "FTA Germany"}, {1, 2, "Germany FTA"}};
  xml::LoadBytes(DataDoc, "<satellite position=\"19.2E\"><transponder><service name=\"x\" "
                          "sid=\"1\"/></transponder></satellite>");
  const xml::XmlNode* satellite = xml::RootElement(DataDoc);
  const xml::XmlNode* transponder = xml::ChildByPosition(satellite, 1);
  for (const Mark& m : marks) {
    gui::SetState(Gadgets.FtaOnlyCheck, m.fta);
    gui::SetState(Gadgets.FtaMarkCombo, m.row);
    BouquetEntry e;
    FillEntry(e, 0, 0, kTvBouquetType, TXT("Germany"), 1, InternDataFileNames(satellite), satellite,
              transponder, xml::ChildByPosition(transponder, 1));
    EXPECT_EQ(U(e.BouquetName), m.name) << m.fta << " " << m.row;
    // Missing attributes give empty texts and zeros.
    EXPECT_EQ(U(e.Frequency), "0");
    EXPECT_EQ(U(e.SymbolRate), "0");
    EXPECT_EQ(U(e.AudioPid), "");
    EXPECT_EQ(U(e.Ac3Pid), "");
  }
}

TEST(BouquetFileNameTest, SeparatorsAndQuestionMarksBecomeUnderscores) {
  const std::pair<const char*, const char*> cases[] = {
      {"Sky / Movies?", "Sky__Movies_"}, {"a\\b", "a_b"}, {"a   b", "a__b"},
      {"Germany", "Germany"},           {"?", "_"},      {"a____b", "a__b"},
  };
  for (const auto& [text, wanted] : cases)
    EXPECT_EQ(U(BouquetFileNameText(TextFromAscii(text))), wanted) << text;
}

// ---------------------------------------------------------------- bouquet files

TEST_F(ImportFilesTest, NothingTickedGivesACombinedFileWithOnlyTheHeader) {
  Load(DataFile(Service("x", "Germany", "1")));
  MakeBouquetFiles();
  EXPECT_EQ(ReadBytes("ALL/Bouquet_Orbvane_ALL.txt"), U(EntryHeaderLine(true)) + "\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator("ALL"), fs::directory_iterator()), 1);
  EXPECT_TRUE(Bouquets.CombinedLists[kTvKind].empty());
}

TEST_F(ImportFilesTest, SameBouquetTextInTwoListsReplacesTheFileAndGetsTwoNumbers) {
  const char* const lists[][2] = {
      {"country.xml", "<country_list><country name=\"Germany\"/></country_list>"},
      {"genre.xml", "<genre_list/>"},
      {"provider.xml", "<provider_list><provider name=\"Germany\"/></provider_list>"},
      {"language.xml", "<language_list/>"},
  };
  Load(DataFile(Service("by country", "Germany", "1") +
                "         <service type=\"tv\" name=\"by provider\" country=\"\" provider=\"Germany\" sid=\"2\"/>\r\n"),
       lists);
  gui::SetItemState(Gadgets.CountryList, 0, gui::kItemTicked);
  gui::SetItemState(Gadgets.ProviderList, 0, gui::kItemTicked | gui::kItemHighlighted);
  MakeBouquetFiles();
  const std::string file = ReadBytes("ALL/Bouquet_Germany_tv.txt");
  EXPECT_NE(file.find("\tby provider\t"), std::string::npos);
  EXPECT_EQ(file.find("\tby country\t"), std::string::npos);
  std::vector<Text> lines;
  ASSERT_TRUE(ReadTextLines(TXT("ALL/Bouquet_Orbvane_ALL.txt"), lines));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(U(lines[1]).substr(0, 4), "0\t0\t");
  EXPECT_EQ(U(lines[2]).substr(0, 4), "1\t0\t");
}

TEST_F(ImportFilesTest, UnexpectedElementsAreReportedOnceEachAndTheWalkGoesOn) {
  Load("<orbvane_list>\r\n<!-- comments are no elements -->\r\n<sat/>\r\n"
       "<satellite name=\"S\" position=\"1.0E\"><tp/><transponder msys=\"DVB-S\">"
       "<channel/><service name=\"x\" country=\"Germany\" sid=\"1\"/></transponder></satellite>"
       "</orbvane_list>");
  gui::SetItemState(Gadgets.CountryList, 0, gui::kItemTicked);
  MakeBouquetFiles();
  EXPECT_EQ(Boxes(), (std::vector<std::string>{"Something is wrong|Not a satellite sat",
                                                "Something is wrong|Not a transponder tp",
                                                "Something is wrong|Not a channel channel"}));
  EXPECT_NE(ReadBytes("ALL/Bouquet_Germany_tv.txt").find("\tx\t"), std::string::npos);
}

TEST_F(ImportFilesTest, BouquetNameThatCannotBeAFileNameIsReportedAndTheRunGoesOn) {
  // A file name longer than any file system takes.
  const std::string longName(300, 'x');
  const std::string countries = "<country_list><country name=\"" + longName +
                                "\"/><country name=\"Germany\"/></country_list>";
  const char* const lists[][2] = {{"country.xml", countries.c_str()},
                                  {"genre.xml", "<genre_list/>"},
                                  {"provider.xml", "<provider_list/>"},
                                  {"language.xml", "<language_list/>"}};
  Load(DataFile(Service("long", longName, "1") + Service("short", "Germany", "2")), lists);
  gui::SetItemState(Gadgets.CountryList, 0, gui::kItemTicked);
  gui::SetItemState(Gadgets.CountryList, 1, gui::kItemTicked);
  MakeBouquetFiles();
  const std::string path = U(Shell.AllFolder) + "Bouquet_" + longName + "_tv.txt";
  EXPECT_EQ(Boxes(), std::vector<std::string>{"File write error.|Could not create bouquet " + path});
  EXPECT_TRUE(fs::exists("ALL/Bouquet_Germany_tv.txt"));
  // The bouquet still goes into the combined file, before Germany.
  const std::string combined = ReadBytes("ALL/Bouquet_Orbvane_ALL.txt");
  EXPECT_NE(combined.find("\n0\t0\tUser Bouquets TV\t" + longName + "\tlong\t"), std::string::npos);
  EXPECT_NE(combined.find("\n1\t0\tUser Bouquets TV\tGermany\tshort\t"), std::string::npos);
}

TEST_F(ImportFilesTest, FilesAreReplacedWholeOrLeftAsTheyWere) {
  Load(DataFile(Service("one", "Germany", "1") + Service("two", "Germany", "2", "radio")));
  gui::SetItemState(Gadgets.CountryList, 0, gui::kItemTicked);
  // Earlier files of these names: one is replaced, the others cannot be
  // written (a folder stands where the new content goes first).
  WriteBytes("ALL/Bouquet_Germany_tv.txt", "old tv");
  for (const char* name : {"Bouquet_Germany_radio.txt", "Bouquet_Orbvane_ALL.txt", "Services_Orbvane_ALL.txt"}) {
    WriteBytes(fs::path("ALL") / name, "old");
    fs::create_directory(fs::path("ALL") / (std::string(name) + ".new"));
  }
  MakeImportPressed(Gadgets.MainWindow, gui::kEventGadget, Gadgets.MakeImportButton, gui::kLeftClick);
  const std::string all = U(Shell.AllFolder);
  EXPECT_EQ(Boxes(), (std::vector<std::string>{
                         "File write error.|Could not create bouquet " + all + "Bouquet_Germany_radio.txt",
                         "File write error.|Could not create bouquet " + all + "Bouquet_Orbvane_ALL.txt",
                         "File write error.|Could not create services file " + all + "Services_Orbvane_ALL.txt"}));
  EXPECT_NE(ReadBytes("ALL/Bouquet_Germany_tv.txt").find("\tone\t"), std::string::npos);
  EXPECT_EQ(ReadBytes("ALL/Bouquet_Germany_radio.txt"), "old");
  EXPECT_EQ(ReadBytes("ALL/Bouquet_Orbvane_ALL.txt"), "old");
  EXPECT_EQ(ReadBytes("ALL/Services_Orbvane_ALL.txt"), "old");
  EXPECT_EQ(U(gui::GetText(Gadgets.VersionText)), "Created services file.");
  EXPECT_FALSE(fs::exists("ALL/Bouquet_Germany_tv.txt.new"));
}

TEST_F(ImportFilesTest, NonAsciiNamesAreWrittenInTheEncodingOfTheBuild) {
  Load(DataFile(Service("M\xc3\xbcnchen TV", "Germany", "1")));
  MakeServicesFile();
  const std::string file = ReadBytes("ALL/Services_Orbvane_ALL.txt");
#ifdef OVN_UNICODE
  const std::string name = "M\xc3\xbcnchen TV";
#else
  const std::string name = "M\xfcnchen TV";
#endif
  EXPECT_NE(file.find("\n" + name + "\tP\t25\t19.2\t"), std::string::npos) << file;
}

// ---------------------------------------------------------------- filter lists

TEST_F(ImportFilesTest, FilterListsKeepFileOrderAndRestoreRememberedTicks) {
  xml::LoadBytes(SettingsDoc,
                 "<orbvane_settings><bouquet_list>"
                 "<bouquet list=\"genre\" name=\"News\" selected=\"yes\"/>"
                 "<bouquet list=\"country\" name=\"\" selected=\"yes\"/>"
                 "<bouquet list=\"provider\" name=\" Sky \" selected=\"yes\"/>"
                 "<other list=\"provider\" name=\"ARD\"/>"
                 "</bouquet_list></orbvane_settings>");
  Settings.BouquetListElement = xml::ChildByPosition(xml::RootElement(SettingsDoc), 1);
  const char* const lists[][2] = {
      {"country.xml", "<country_list><country name=\"Spain\"/><country name=\"\"/></country_list>"},
      {"genre.xml", "<genre_list><genre name=\"News\"/><genre name=\" News \"/><genre name=\"news\"/>"
                    "<!-- a comment --><genre name=\"News\"/></genre_list>"},
      {"provider.xml", "<provider_list><provider name=\"ARD\"/><provider name=\" Sky \"/></provider_list>"},
      {"language.xml", "<language_list><language name=\"News\" abbreviation=\"nws\"/></language_list>"},
  };
  Load(DataFile(""), lists);
  auto rows = [](int list) {
    std::string out;
    for (int row = 0; row < gui::CountItems(list); ++row) {
      out += U(gui::GetItemText(list, row));
      out += gui::GetItemState(list, row) == gui::kItemTicked ? "+;" : "-;";
    }
    return out;
  };
  EXPECT_EQ(rows(Gadgets.GenreList), "News+;News+;news-;News+;");
  EXPECT_EQ(rows(Gadgets.CountryList), "Spain-;-;");
  // Rows are trimmed, the remembered name is compared as it stands.
  EXPECT_EQ(rows(Gadgets.ProviderList), "ARD-;Sky-;");
  EXPECT_EQ(rows(Gadgets.LanguageFilterList), "News-;");

  // A failed reload leaves the lists as they were.
  fs::remove("language.xml");
  EXPECT_FALSE(ReloadFilterLists(Shell.OutputFolder));
  EXPECT_EQ(rows(Gadgets.GenreList), "News+;News+;news-;News+;");
  xml::FreeSlot(SettingsDoc);
}

}  // namespace
