// A whole download through the scenario driver, with the pages already in
// ovn_work/ and "Use downloaded pages again" ticked, so no network is needed.
#include "listing_harness.h"

#include "shell/settings.h"

namespace {

using page_builder::Audio;
using page_builder::HeaderCells;
using page_builder::Page;
using page_builder::SatelliteTable;
using page_builder::ServiceRow;
using page_builder::ServiceTable;

const char* const kSettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<orbvane_settings url=\"http://en.orbvane.example/freqs.php?&amp;pos=0.0\">\r\n"
    "  <language_list>\r\n"
    "    <language name=\"English\" pad=\"en\" img=\"en.png\"/>\r\n"
    "    <language name=\"Deutsch\" pad=\"de\" img=\"de.png\" selected=\"yes\"/>\r\n"
    "  </language_list>\r\n"
    "  <satellite_list>\r\n"
    "    <satellite name=\"HOTBIRD 13B\" position=\"13.0E\" selected=\"yes\" tv=\"yes\" radio=\"yes\" "
    "data=\"yes\" feed=\"yes\"/>\r\n"
    "    <satellite name=\"Astra 1/2 \\ test \" position=\"19.2E\" selected=\"yes\" tv=\"yes\" "
    "radio=\"yes\"/>\r\n"
    "    <satellite name=\"Thor\" position=\"0.8W\" selected=\"yes\" tv=\"yes\"/>\r\n"
    "    <satellite name=\"Unticked\" position=\"1.0W\" tv=\"yes\"/>\r\n"
    "  </satellite_list>\r\n"
    "</orbvane_settings>\r\n";

ServiceRow Row(const char* picture, const std::string& name, const std::string& sid) {
  ServiceRow r;
  r.picture = picture;
  r.name = name;
  r.sid = sid;
  return r;
}

std::string HotbirdPage() {
  ServiceRow first = TvRow("Das Erste HD", "28106");
  first.hd = true;
  first.audio = {{"5102", "Deutsch", "deu", false}, {"5106", "English", "eng", true}};
  first.pcr = "5101";
  first.txt = "5104";
  ServiceRow radio = Row("/radio.gif", "", "28120");
  radio.country = "Germany";
  radio.genre = "Radio";
  radio.providers = {"ARD"};
  radio.audio = {{"5201", "", "", false}};
  radio.pmt = "200";
  ServiceRow russian = TvRow("\xD0\xA0\xD0\xBE\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F 1", "7001");
  russian.country = "Russia";
  russian.genre = "News";
  russian.providers = {"RTR"};
  russian.crypt = "Conax Irdeto Nagra 3 Viaccess";
  russian.video = "1001 1002";
  russian.audio = {{"1003", "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "rus", false}};
  russian.pmt = "1000";
  russian.pcr = "1001";
  ServiceRow duplicate = TvRow("Das Erste", "28106");
  duplicate.country = "";
  duplicate.providers = {"ard"};
  ServiceRow data = Row("/data.gif", "", "900");
  ServiceRow feed = Row("/tv.gif", "Feed 1", "901");
  feed.feed = true;
  ServiceRow mystery = Row("/x.gif", "Mystery", "902");

  HeaderCells apsk;
  apsk.frequency = "10758";
  apsk.modulation = "16APSK";
  HeaderCells third;
  third.frequency = "11034";
  third.polarization = "H";
  third.system = "DVB-S";
  third.modulation = "QPSK";
  third.symbolRate = "22000";
  third.fec = "5/6";
  third.nid = "";
  third.tid = "1051";
  third.strayEmptyCell = true;
  ServiceRow greek = TvRow("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC", "10");
  greek.country = "Greece";
  greek.genre = "Caf&#233;";
  greek.providers = {"Sky Italia"};
  ServiceRow italian = TvRow("Sky Uno", "11");
  italian.country = "Italy";
  italian.genre = "Film & Serie";
  italian.providers = {"SKY ITALIA"};

  return Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) +
              ServiceTable({first, radio, russian, duplicate, data, feed, mystery}) +
              page_builder::HeaderTable(apsk) + ServiceTable({TvRow("Lost", "1")}) +
              page_builder::HeaderTable(third) + ServiceTable({greek, italian}));
}

std::string AstraPage() {
  HeaderCells nameOnly;
  nameOnly.satellite = "DVB-S Sat";
  nameOnly.system = "DSS";
  nameOnly.modulation = "QPSK";
  HeaderCells second;
  second.frequency = "12000";
  second.polarization = "H";
  ServiceRow radio = Row("/radio.gif", "Radio A", "2");
  radio.audio = {{"2001", "Version originale", "vo", false}};
  return Page(SatelliteTable() + page_builder::HeaderTable(nameOnly) + ServiceTable({TvRow("X", "1")}) +
              page_builder::HeaderTable(second) +
              ServiceTable({radio, Row("/data.gif", "D", "3"), [] {
                              ServiceRow f = Row("/tv.gif", "F", "4");
                              f.feed = true;
                              return f;
                            }()}));
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFlagPictures();
    WriteBytes("ovn_settings.xml", kSettings);
    WriteBytes("ovn_work/HOTBIRD_13B.html", HotbirdPage());
    WriteBytes("ovn_work/Astra_1_2___test.html", AstraPage());
    fs::create_directories("out");
  }

  // Runs a download with the given options ticked first.
  ScenarioResult Download(const std::string& options, const std::string& answers) {
    return RunScenario("click ReuseDownloadsCheck\n" + options + "click DownloadButton\nfolder out/\n" +
                       answers + "dump\n");
  }

  // The reload of the new files fills the filter lists and shows the summary.
  static void ExpectSummary(const ScenarioResult& r, const std::string& summary) {
    EXPECT_NE(r.out.find("VersionText kind=text text=\"" + summary + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CountryList kind=checklist text=\"\" state=-1 visible\n  0 "), std::string::npos)
        << r.out;
  }

  TempWorkFolder folder_;
};

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TEST_F(DownloadTest, TickedSatellitesBecomeTheDataFileAndTheListFiles) {
  const ScenarioResult r = Download("click CountryViaProviderCheck\n", "dialog KeepBothButton\nno\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("folder \"Select the directory to store all files in.\""), std::string::npos);
  EXPECT_NE(r.out.find("question \"File not present or small file size ?\" \"Thor\\r Try downloading ?\" -> No"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("dialog \"Double service ident within transponder\" -> KeepBothButton"),
            std::string::npos);
  ExpectSummary(r, "Done. Satellites:2 Transponders:4 Tvs:6 (HD/3D=1) Radios:2 Datas:1 Feeds:2");

  const std::string url = "https://de.orbvane.example/freqs.php?&amp;pos=";
  const std::string expected =
      kHead + "<orbvane_list>\r\n"
      "   <satellite name=\"HOTBIRD 13B\" position=\"13.0E\" url=\"" + url + "13.0E\">\r\n"
      "      <transponder frequency=\"10719\" polarization=\"V\" nid=\"318\" tid=\"124\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"27500\" fec_inner=\"3/4\">\r\n"
      "         <service type=\"hdtv\" name=\"Das Erste HD\" country=\"Germany\" genre=\"General\" provider=\"ARD\" crypt=\"\" sid=\"28106\" vpid=\"5101\" audio_ac3=\"5106:eng\" audio=\"5102:deu\" pmt=\"100\" pcr=\"5101\" txt=\"5104\"/>\r\n"
      "         <service type=\"radio\" name=\"radio sid 28120\" country=\"Germany\" genre=\"Radio\" provider=\"ARD\" crypt=\"\" sid=\"28120\" vpid=\"\" audio=\"5201:unk\" pmt=\"200\"/>\r\n"
      "         <service type=\"tv\" name=\"" + WIDE_OR_NARROW("\xD0\xA0\xD0\xBE\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F 1", "?????? 1") + "\" country=\"Russia\" genre=\"News\" provider=\"RTR\" crypt=\"Conax:Irdeto:Nagra 3:Viaccess\" sid=\"7001\" vpid=\"1001:1002\" audio=\"1003:rus\" pmt=\"1000\" pcr=\"1001\"/>\r\n"
      "         <service type=\"tv\" name=\"Das Erste\" country=\"Germany\" genre=\"General\" provider=\"ARD\" crypt=\"\" sid=\"28106\" vpid=\"5101\" audio=\"5102:deu\" pmt=\"100\"/>\r\n"
      "         <service type=\"data\" name=\"data sid 900\" country=\"\" genre=\"\" provider=\"\" crypt=\"\" sid=\"900\" vpid=\"\"/>\r\n"
      "         <service type=\"feed\" name=\"Feed 1\" country=\"\" genre=\"\" provider=\"\" crypt=\"\" sid=\"901\" vpid=\"\"/>\r\n"
      "         <service type=\"feed\" name=\"Mystery\" country=\"\" genre=\"\" provider=\"\" crypt=\"\" sid=\"902\" vpid=\"\"/>\r\n"
      "      </transponder>\r\n"
      "      <transponder frequency=\"11034\" polarization=\"H\" nid=\"\" tid=\"1051\" msys=\"DVB-S\" mtyp=\"QPSK\" symbol_rate=\"22000\" fec_inner=\"5/6\">\r\n"
      "         <service type=\"tv\" name=\"" + WIDE_OR_NARROW("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC", "????????") + "\" country=\"Greece\" genre=\"Caf&amp;#233;\" provider=\"Sky Italia\" crypt=\"\" sid=\"10\" vpid=\"5101\" audio=\"5102:deu\" pmt=\"100\"/>\r\n"
      "         <service type=\"tv\" name=\"Sky Uno\" country=\"Italy\" genre=\"Film &amp; Serie\" provider=\"Sky Italia\" crypt=\"\" sid=\"11\" vpid=\"5101\" audio=\"5102:deu\" pmt=\"100\"/>\r\n"
      "      </transponder>\r\n"
      "   </satellite>\r\n"
      "   <satellite name=\"Astra 1/2 \\ test \" position=\"19.2E\" url=\"" + url + "19.2E\">\r\n"
      "      <transponder frequency=\"10719\" polarization=\"V\" nid=\"318\" tid=\"124\" msys=\"***\" mtyp=\"QPSK\" symbol_rate=\"27500\" fec_inner=\"3/4\">\r\n"
      "         <service type=\"tv\" name=\"X\" country=\"Germany\" genre=\"General\" provider=\"ARD\" crypt=\"\" sid=\"1\" vpid=\"5101\" audio=\"5102:deu\" pmt=\"100\"/>\r\n"
      "      </transponder>\r\n"
      "      <transponder frequency=\"12000\" polarization=\"H\" nid=\"318\" tid=\"124\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"27500\" fec_inner=\"3/4\">\r\n"
      "         <service type=\"radio\" name=\"Radio A\" country=\"\" genre=\"\" provider=\"\" crypt=\"\" sid=\"2\" vpid=\"\" audio=\"2001:vo\"/>\r\n"
      "      </transponder>\r\n"
      "   </satellite>\r\n"
      "</orbvane_list>\r\n";
  EXPECT_EQ(ReadBytes("out/orbvane.xml"), expected);

  const std::string listHead = kHead + "\r\n";
  EXPECT_EQ(ReadBytes("out/country.xml"),
            listHead + "<country_list>\r\n   <country name=\"Germany\" />\r\n   <country name=\"Greece\" />\r\n"
                       "   <country name=\"Italy\" />\r\n   <country name=\"Russia\" />\r\n</country_list>\r\n");
  EXPECT_EQ(ReadBytes("out/genre.xml"),
            listHead + "<genre_list>\r\n   <genre name=\"Film &amp; Serie\" />\r\n   <genre name=\"General\" />\r\n"
                       "   <genre name=\"News\" />\r\n   <genre name=\"Radio\" />\r\n</genre_list>\r\n");
  EXPECT_EQ(ReadBytes("out/provider.xml"),
            listHead + "<provider_list>\r\n   <provider name=\"ARD\" />\r\n   <provider name=\"RTR\" />\r\n"
                       "   <provider name=\"Sky Italia\" />\r\n</provider_list>\r\n");
  const std::string russian = std::string("   <language name=\"") +
                              WIDE_OR_NARROW("\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "???????") +
                              "\" abbreviation=\"rus\" />\r\n";
  const std::string latin =
      "   <language name=\"Deutsch\" abbreviation=\"deu\" />\r\n"
      "   <language name=\"English\" abbreviation=\"eng\" />\r\n"
      "   <language name=\"Unknown\" abbreviation=\"unk\" />\r\n"
      "   <language name=\"Version originale\" abbreviation=\"vo\" />\r\n";
#ifdef OVN_UNICODE
  const std::string languages = latin + russian;
#else
  const std::string languages = russian + latin;
#endif
  EXPECT_EQ(ReadBytes("out/language.xml"), listHead + "<language_list>\r\n" + languages + "</language_list>\r\n");

  // The pages stay for the next run; nothing else is left in the work folder.
  std::vector<std::string> work;
  for (const auto& entry : fs::directory_iterator("ovn_work"))
    if (entry.path().extension() != ".png") work.push_back(entry.path().filename().string());
  std::sort(work.begin(), work.end());
  EXPECT_EQ(work, (std::vector<std::string>{"Astra_1_2___test.html", "HOTBIRD_13B.html"}));
  EXPECT_TRUE(fs::is_directory("out/ALL"));
  EXPECT_TRUE(fs::is_directory("out/FTA"));
  EXPECT_FALSE(fs::exists("out/transponders.xml"));
}

TEST_F(DownloadTest, TranspondersOnlyAndDiscardHidden) {
  // A page whose last transponder shows no service.
  WriteBytes("ovn_work/HOTBIRD_13B.html",
             Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) +
                  [] {
                    HeaderCells hidden;
                    hidden.frequency = "11000";
                    return page_builder::HeaderTable(hidden);
                  }()));
  const ScenarioResult r = Download("click TranspondersOnlyCheck\nclick DiscardHiddenCheck\ntick SatelliteList 1 off\n"
                                    "tick SatelliteList 2 off\n",
                                    "");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_FALSE(fs::exists("out/orbvane.xml"));
  EXPECT_EQ(ReadBytes("out/transponders.xml"),
            kHead + "<orbvane_list>\r\n"
                    "   <satellite name=\"HOTBIRD 13B\" position=\"13.0E\" url=\"https://de.orbvane.example/freqs.php?&amp;pos=13.0E\">\r\n"
                    "      <transponder frequency=\"10719\" polarization=\"V\" nid=\"318\" tid=\"124\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"27500\" fec_inner=\"3/4\"/>\r\n"
                    "   </satellite>\r\n"
                    "</orbvane_list>\r\n");
  EXPECT_EQ(ReadBytes("out/genre.xml"), kHead + "\r\n<genre_list>\r\n</genre_list>\r\n");
  // Without a data file in the folder the reload fails: no summary.
  EXPECT_EQ(r.out.find("VersionText kind=text text=\"Done."), std::string::npos) << r.out;
}

TEST_F(DownloadTest, CancelledFolderRequesterDoesNothing) {
  const ScenarioResult r = RunScenario("click DownloadButton\nfolder cancel\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_FALSE(fs::exists("out/orbvane.xml"));
  EXPECT_FALSE(fs::exists("orbvane.xml"));
  EXPECT_TRUE(fs::exists("ovn_work/HOTBIRD_13B.html")) << "nothing is fetched";
}

}  // namespace

namespace {

using DriverTest = ListingTest;

TEST_F(DriverTest, BaseUrlAndPageBasePath) {
  struct Case {
    const char* url;  // the settings' url attribute, as it stands in the file
    int language;     // row of the selected language, -1 none
    const char* base;
  };
  const Case cases[] = {
      {"", -1, "https://en.orbvane.example/freqs.php?&amp;pos="},
      {"", 0, "https://fr.orbvane.example/freqs.php?&amp;pos="},
      {"http://en.site.example/f.php?&amp;pos=0.0&amp;x=1", -1, "http://en.site.example/f.php?&pos="},
      {"http://en.site.example/f.php?&amp;pos=0.0", 0, "https://fr.site.example/f.php?&pos="},
      {"no-position-here", -1, "no-position-here"},
  };
  for (const Case& c : cases) {
    xml::LoadBytes(SettingsDoc, std::string("<orbvane_settings url=\"") + c.url +
                                    "\"><language_list/><satellite_list/></orbvane_settings>");
    xml::XmlNode* french = xml::AppendElement(xml::ChildByPosition(xml::RootElement(SettingsDoc), 1), TXT("language"));
    xml::SetAttribute(french, TXT("pad"), TXT("fr"));
    Settings.LanguageRows = {french};
    Shell.SelectedLanguage = c.language;
    EXPECT_EQ(S8(BuildBaseUrl()), c.base) << c.url << " " << c.language;
  }
  Settings.LanguageRows.clear();
  EXPECT_EQ(S8(PageBasePath(TXT(" Astra 1/2 \\ test "))), "ovn_work/Astra_1_2___test");
}

}  // namespace
