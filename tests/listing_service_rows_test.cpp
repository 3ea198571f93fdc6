// Service rows: the block a table row gives, and a block's service element
// with its kinds, names, providers, encryption, video marks and audio lists.
#include "listing_harness.h"

namespace {

using page_builder::Audio;
using page_builder::HeaderCells;
using page_builder::Page;
using page_builder::SatelliteTable;
using page_builder::ServiceRow;
using page_builder::ServiceTable;

class ServiceRowsTest : public ListingTest {
 protected:
  void SetUp() override {
    ListingTest::SetUp();
    ASSERT_TRUE(AddSatellite(TXT("SAT"), TXT("13.0E"), TXT("url")));
    Listing.WorkText = TXT("SAT (13.0E) - 10719 V - Txp: 1 - Beam: W DVB-S2 (8PSK) - 27500 3/4 (x) - NID:1 - TID:2");
    ASSERT_EQ(AddTransponder(), TransponderResult::Created);
  }

  // Adds one block: fields are kind, name, country, genre, provider, crypt,
  // sid, video, audio, pmt, pcr, txt.
  void Add(std::vector<std::string> fields) {
    Listing.ServiceFields.fill(Text());
    for (size_t i = 0; i < fields.size(); ++i) Listing.ServiceFields[i] = U(fields[i]);
    AddService();
  }

  std::vector<std::string> Languages() {
    std::vector<std::string> out;
    for (const LanguageRecord& r : Listing.LanguageTable) out.push_back(S8(r.name) + "/" + S8(r.abbreviation));
    return out;
  }
};

TEST_F(ServiceRowsTest, TableRowGivesThirteenFieldLines) {
  ServiceRow row = TvRow("Das Erste HD", "28:106");
  row.hd = true;
  row.providers = {"ARD", "ZDF"};
  row.crypt = "Conax Irdeto";
  row.audio = {{"5102", "Deutsch", "deu", false}, {"5106", "English", "eng", true}};
  row.pcr = "5101";
  row.txt = "5104";
  ServiceRow radio;
  radio.picture = "/radio.gif";
  radio.sid = "28120";
  radio.audio = {{"5201", "", "", false}};
  ServiceRow threeD = TvRow("3D", "5");
  threeD.hd = threeD.threeD = true;
  threeD.video = "5120 H.265 5121";
  ServiceRow feed = TvRow("Feed", "6");
  feed.feed = true;
  ServiceRow unknown = TvRow("Other", "7");
  unknown.picture = "/x.gif";
  unknown.video = "";
  unknown.hd = true;  // a mark without a video PID is dropped
  ServiceRow data = TvRow("Data", "8");
  data.picture = "/data.gif";

  const std::vector<std::string> lines =
      Reduce(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) +
                  ServiceTable({row, radio, threeD, feed, unknown, data})));
  const std::vector<std::string> expected = {
      "--->>>", "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 27500 3/4 (x) - NID:318 - TID:124",
      "--->", "tv", "Das Erste HD", "Germany", "General", "ARD : ZDF", "Conax Irdeto", "28106",
      "HDTV 5101", "5102 Deutsch=deu 5106:AC3 English=eng", "100", "5101", "5104", "2024-05-01", "<---",
      "--->", "radio", "", "", "", "", "", "28120", "", "5201", "", "", "", "2024-05-01", "<---",
      "--->", "tv", "3D", "Germany", "General", "ARD", "", "5", "3DTV 5120 5121", "5102 Deutsch=deu", "100", "", "", "2024-05-01", "<---",
      "--->", "feed", "Feed", "Germany", "General", "ARD", "", "6", "5101", "5102 Deutsch=deu", "100", "", "", "2024-05-01", "<---",
      "--->", "", "Other", "Germany", "General", "ARD", "", "7", "", "5102 Deutsch=deu", "100", "", "", "2024-05-01", "<---",
      "--->", "data", "Data", "Germany", "General", "ARD", "", "8", "5101", "5102 Deutsch=deu", "100", "", "", "2024-05-01", "<---",
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(ServiceRowsTest, KindsAndKindFlags) {
  Listing.SkipData = true;
  Add({"tv", "A", "", "", "", "", "1", "5120 5121"});
  Add({"radio", "", "", "", "", "", "1234"});
  Add({"data", "", "", "", "", "", "3"});  // dropped by its flag
  Add({"", "", "", "", "", "", "4"});      // no kind: a feed
  Add({"tv", "", "", "", "", "", "5", "HDTV 5120"});
  Add({"tv", "", "", "", "", "", "6", "3DTV 7 8"});
  ASSERT_EQ(xml::ChildCount(Transponder()), 5);
  const std::pair<const char*, const char*> typeAndName[] = {
      {"tv", "A"}, {"radio", "radio sid 1234"}, {"feed", "feed sid 4"}, {"hdtv", ""}, {"3dtv", ""}};
  for (int n = 0; n < 5; ++n) {
    EXPECT_EQ(Attr(Service(n + 1), "type"), typeAndName[n].first) << n;
    EXPECT_EQ(Attr(Service(n + 1), "name"), typeAndName[n].second) << n;
  }
  EXPECT_EQ(Attr(Service(1), "vpid"), "5120:5121");
  EXPECT_EQ(Attr(Service(4), "vpid"), "5120");
  EXPECT_EQ(Attr(Service(5), "vpid"), "7:8");
  EXPECT_EQ(Listing.TvCount, 3);
  EXPECT_EQ(Listing.HdCount, 2);
  EXPECT_EQ(Listing.RadioCount, 1);
  EXPECT_EQ(Listing.DataCount, 0);
  EXPECT_EQ(Listing.FeedCount, 1);
}

TEST_F(ServiceRowsTest, OptionalAttributesOnlyWhenNotEmpty) {
  Add({"tv", "A & B", "", "", "", "", "1", "", "", "", "", ""});
  Add({"tv", "C", "Italy", "News", "RAI", "Nagra", "2", "10", "11 Italiano=ita", "12", "13", "14"});
  const std::string saved = Saved();
  EXPECT_NE(saved.find("         <service type=\"tv\" name=\"A &amp; B\" country=\"\" genre=\"\" "
                       "provider=\"\" crypt=\"\" sid=\"1\" vpid=\"\"/>\r\n"),
            std::string::npos)
      << saved;
  EXPECT_NE(saved.find("<service type=\"tv\" name=\"C\" country=\"Italy\" genre=\"News\" provider=\"RAI\" "
                       "crypt=\"Nagra\" sid=\"2\" vpid=\"10\" audio=\"11:ita\" pmt=\"12\" pcr=\"13\" txt=\"14\"/>"),
            std::string::npos)
      << saved;
}

TEST_F(ServiceRowsTest, AudioField) {
  struct Case {
    const char* audio;
    const char* plain;
    const char* ac3;
    std::vector<std::string> languages;  // added to the language table
  };
  const Case cases[] = {
      {"5011 English=eng 5012:AC3 Deutsch=deu", "5011:eng", "5012:deu", {"English/eng", "Deutsch/deu"}},
      {"5011", "5011:unk", "", {"Unknown/unk"}},
      {"5011 Version originale=vo", "5011:vo", "", {"Version originale/vo"}},
      {"5011 5012 Deutsch=deu", "5011:unk;5012:deu", "", {"Unknown/unk", "Deutsch/deu"}},
      {"5012:AC3 : 5013 English=eng", "5013:eng", "5012:unk", {"Unknown/unk", "English/eng"}},
      {"5011 aac English=eng", "5011:eng", "", {"English/eng"}},
      // Short names and one-letter codes are not languages.
      {"5011 Eng=en 5012 English=e", "5011:en;5012:e", "", {}},
      {"5011 English=eng=x", "5011:eng", "", {"English/eng"}},
      {"0 English=eng", "", "", {"English/eng"}},
  };
  for (const Case& c : cases) {
    ClearCollections();
    Text plain, ac3;
    ParseAudioField(TextFromAscii(c.audio), plain, ac3);
    EXPECT_EQ(S8(plain), c.plain) << c.audio;
    EXPECT_EQ(S8(ac3), c.ac3) << c.audio;
    EXPECT_EQ(Languages(), c.languages) << c.audio;
  }
}

TEST_F(ServiceRowsTest, Encryption) {
  const std::pair<const char*, const char*> cases[] = {
      {"Conax Irdeto Nagra 3 Viaccess", "Conax:Irdeto:Nagra 3:Viaccess"},
      {"BISS 2 Nagra", "BISS 2:Nagra"},
      {"Viaccess", "Viaccess"},
      {"", ""},
  };
  for (const auto& [crypt, expected] : cases) EXPECT_EQ(S8(NormaliseEncryption(TextFromAscii(crypt))), expected);
}

TEST_F(ServiceRowsTest, ProvidersDifferingInCaseShareTheFirstForm) {
  Add({"tv", "A", "", "", "Sky Italia", "", "1"});
  Add({"tv", "B", "Italy", "", "SKY ITALIA", "", "2"});
  Add({"tv", "C", "Malta", "", "sky italia", "", "3"});
  Add({"tv", "D", "", "", "ARD : ZDF", "", "4"});
  Add({"tv", "E", "", "", "A&B <x>", "", "5"});
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(Attr(Service(n), "provider"), "Sky Italia");
  EXPECT_EQ(Attr(Service(4), "provider"), "ARD,ZDF");
  EXPECT_EQ(Attr(Service(5), "provider"), "A_B x");
  ASSERT_EQ(Listing.ProviderTable.size(), 3u);
  EXPECT_EQ(S8(Listing.ProviderTable[0].name), "Sky Italia");
  EXPECT_EQ(S8(Listing.ProviderTable[0].country), "Italy") << "the first country met with it";
  EXPECT_EQ(S8(ProviderCountry(TXT("Sky Italia"))), "Italy");
  EXPECT_EQ(S8(ProviderCountry(TXT("SKY ITALIA"))), "") << "only the recorded form";
}

TEST_F(ServiceRowsTest, CountriesAndGenresAreCollectedOnceInOrder) {
  Add({"tv", "A", "Spain", "News", "", "", "1"});
  Add({"tv", "B", "albania", "", "", "", "2"});
  Add({"tv", "C", "Spain", "news", "", "", "3"});
  Add({"tv", "D", "Italy", "News", "", "", "4"});
  std::vector<std::string> countries, genres;
  for (const Text& t : Listing.CountryNames) countries.push_back(S8(t));
  for (const Text& t : Listing.GenreNames) genres.push_back(S8(t));
  EXPECT_EQ(countries, (std::vector<std::string>{"Spain", "albania", "Italy"}));
  EXPECT_EQ(genres, (std::vector<std::string>{"News", "news"}));
}

TEST_F(ServiceRowsTest, TranspondersOnlyStoresAndCountsNothing) {
  Shell.TranspondersOnlyFlag = true;
  Add({"tv", "A", "Spain", "News", "P", "", "1", "", "5 English=eng"});
  Add({"tv", "B", "Spain", "News", "P", "", "1"});  // no element, so no question
  EXPECT_EQ(xml::ChildCount(Transponder()), 0);
  EXPECT_EQ(Listing.TvCount, 0);
  EXPECT_TRUE(Listing.CountryNames.empty());
  EXPECT_TRUE(Listing.ProviderTable.empty());
  EXPECT_TRUE(Listing.LanguageTable.empty());
}

}  // namespace
