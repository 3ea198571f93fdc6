// The data file's layout, the four list files and the countries derived from
// the providers.
#include "listing_harness.h"

namespace {

class ListingFilesTest : public ListingTest {
 protected:
  void AddRow(const std::string& name, const std::string& country, const std::string& provider,
              const std::string& sid) {
    Listing.ServiceFields.fill(Text());
    Listing.ServiceFields[0] = TXT("tv");
    Listing.ServiceFields[1] = U(name);
    Listing.ServiceFields[2] = U(country);
    Listing.ServiceFields[4] = U(provider);
    Listing.ServiceFields[6] = U(sid);
    AddService();
  }
  void AddHeader(const char* line) {
    Listing.WorkText = TextFromAscii(line);
    ASSERT_EQ(AddTransponder(), TransponderResult::Created);
  }
};

TEST_F(ListingFilesTest, EmptyRunSavesTheDeclarationAndAnEmptyRoot) {
  SaveDownloadDoc(TXT("orbvane.xml"));
  EXPECT_EQ(ReadBytes("orbvane.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_list/>\r\n");
  EXPECT_FALSE(xml::IsLoaded(DownloadDoc));
  EXPECT_EQ(Listing.CurrentSatellite, nullptr);
}

TEST_F(ListingFilesTest, DataFileLayout) {
  ASSERT_TRUE(AddSatellite(U("Sat & \xE2\x80\x9Cquoted\xE2\x80\x9D"), TXT("13.0E"), TXT("https://en.x/f?&amp;pos=13.0E")));
  AddHeader("S (13.0E) - 10719 V - Txp: 1 - Beam: W DVB-S2 (8PSK) - 27500 3/4 (x) - NID:318 - TID:124");
  Listing.ServiceFields.fill(Text());
  const char* fields[] = {"tv", "\xC3\x9C <b>", "Germany", "News", "ARD", "Conax Irdeto", "28106",
                          "HDTV 5101", "5102 Deutsch=deu 5106:AC3 English=eng", "100", "5101", "5104"};
  for (int i = 0; i < 12; ++i) Listing.ServiceFields[i] = U(fields[i]);
  AddService();
  AddHeader("S (13.0E) - 11034 H - Txp: 2 - Beam: W DVB-S (QPSK) - 22000 5/6 (x) - NID:318 - TID:125");
  SaveDownloadDoc(TXT("orbvane.xml"));
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<orbvane_list>\r\n"
      "   <satellite name=\"Sat &amp; " +
      WIDE_OR_NARROW("\xE2\x80\x9Cquoted\xE2\x80\x9D", "?quoted?") +
      "\" position=\"13.0E\" url=\"https://en.x/f?&amp;amp;pos=13.0E\">\r\n"
      "      <transponder frequency=\"10719\" polarization=\"V\" nid=\"318\" tid=\"124\" msys=\"DVB-S2\" "
      "mtyp=\"8PSK\" symbol_rate=\"27500\" fec_inner=\"3/4\">\r\n"
      "         <service type=\"hdtv\" name=\"\xC3\x9C &lt;b&gt;\" country=\"Germany\" genre=\"News\" "
      "provider=\"ARD\" crypt=\"Conax:Irdeto\" sid=\"28106\" vpid=\"5101\" audio_ac3=\"5106:eng\" "
      "audio=\"5102:deu\" pmt=\"100\" pcr=\"5101\" txt=\"5104\"/>\r\n"
      "      </transponder>\r\n"
      "      <transponder frequency=\"11034\" polarization=\"H\" nid=\"318\" tid=\"125\" msys=\"DVB-S\" "
      "mtyp=\"QPSK\" symbol_rate=\"22000\" fec_inner=\"5/6\"/>\r\n"
      "   </satellite>\r\n"
      "</orbvane_list>\r\n";
  EXPECT_EQ(ReadBytes("orbvane.xml"), expected);
}

TEST_F(ListingFilesTest, ListFilesSortedEscapedAndInUtf8) {
  for (const char* c : {"Spain", "albania", "Italy", "\xC3\x96sterreich", "Caf&#233;"})
    Listing.CountryNames.push_back(U(c));
  for (const char* g : {"News", "Film & Serie", "<Kids>", "\"Quoted\"", "news"})
    Listing.GenreNames.push_back(U(g));
  Listing.ProviderTable.push_back({TXT("ZDF"), TXT("ZDF"), TXT("")});
  Listing.ProviderTable.push_back({TXT("ard"), TXT("ARD"), TXT("")});
  Listing.LanguageTable.push_back({U("\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9"), TXT("rus")});
  Listing.LanguageTable.push_back({TXT("Unknown"), TXT("unk")});
  Listing.LanguageTable.push_back({TXT("Deutsch"), TXT("deu")});
  WriteListFiles(Gadgets.VersionText, TXT("out/"));
  const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
  // The folder does not exist: every file is reported and nothing is written.
  EXPECT_EQ(MessageTitles(), std::vector<std::string>(4, "File write error."));
  EXPECT_EQ(S8(headless::DialogLog()[0].text), "Could not create file country.xml");
  EXPECT_EQ(S8(headless::DialogLog()[3].text), "Could not create file language.xml");

  fs::create_directories("out");
  WriteListFiles(Gadgets.VersionText, TXT("out/"));
  EXPECT_EQ(ReadBytes("out/country.xml"),
            head + "<country_list>\r\n"
                   "   <country name=\"albania\" />\r\n"
                   "   <country name=\"Italy\" />\r\n"
                   "   <country name=\"Spain\" />\r\n"
                   "   <country name=\"\xC3\x96sterreich\" />\r\n"
                   "</country_list>\r\n");
  EXPECT_EQ(ReadBytes("out/genre.xml"),
            head + "<genre_list>\r\n"
                   "   <genre name=\"&quot;Quoted&quot;\" />\r\n"
                   "   <genre name=\"&lt;Kids&gt;\" />\r\n"
                   "   <genre name=\"Film &amp; Serie\" />\r\n"
                   "   <genre name=\"News\" />\r\n"
                   "   <genre name=\"news\" />\r\n"
                   "</genre_list>\r\n");
  EXPECT_EQ(ReadBytes("out/provider.xml"),
            head + "<provider_list>\r\n   <provider name=\"ard\" />\r\n   <provider name=\"ZDF\" />\r\n"
                   "</provider_list>\r\n");
  // "?" sorts before the letters, Cyrillic after them.
  const std::string russian = "   <language name=\"" +
                              WIDE_OR_NARROW("\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "???????") +
                              "\" abbreviation=\"rus\" />\r\n";
  const std::string others =
      "   <language name=\"Deutsch\" abbreviation=\"deu\" />\r\n"
      "   <language name=\"Unknown\" abbreviation=\"unk\" />\r\n";
#ifdef OVN_UNICODE
  const std::string languages = others + russian;
#else
  const std::string languages = russian + others;
#endif
  EXPECT_EQ(ReadBytes("out/language.xml"), head + "<language_list>\r\n" + languages + "</language_list>\r\n");
  EXPECT_EQ(S8(gui::GetText(Gadgets.VersionText)), "Creating language.xml");
  EXPECT_EQ(Listing.CountryNames.size(), 5u) << "left out of the file, not out of the list";

  // What is written reads back as the same texts.
  xml::LoadFile(GenreDoc, TXT("out/genre.xml"));
  ASSERT_EQ(xml::ParseStatus(GenreDoc), 0);
  std::vector<std::string> names;
  for (xml::XmlNode* n = xml::ChildByPosition(xml::RootElement(GenreDoc), 1); n; n = xml::NextSibling(n))
    names.push_back(Attr(n, "name"));
  EXPECT_EQ(names, (std::vector<std::string>{"\"Quoted\"", "<Kids>", "Film & Serie", "News", "news"}));
}

TEST_F(ListingFilesTest, EmptyListsGiveFilesWithoutEntries) {
  WriteListFiles(Gadgets.VersionText, TXT(""));
  EXPECT_EQ(ReadBytes("country.xml"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<country_list>\r\n</country_list>\r\n");
  EXPECT_TRUE(fs::exists("language.xml"));
}

TEST_F(ListingFilesTest, CountriesDerivedFromProviders) {
  ASSERT_TRUE(AddSatellite(TXT("A"), TXT("13.0E"), TXT("u")));
  AddHeader("A (13.0E) - 10719 V - Txp: 1 - Beam: W DVB-S2 (8PSK) - 27500 3/4 (x) - NID:1 - TID:2");
  AddRow("One", "", "Sky Italia", "1");
  AddRow("Two", "", "Nobody", "2");
  ASSERT_TRUE(AddSatellite(TXT("B"), TXT("19.2E"), TXT("u")));
  AddHeader("B (19.2E) - 11034 H - Txp: 1 - Beam: W DVB-S2 (8PSK) - 27500 3/4 (x) - NID:1 - TID:2");
  AddRow("Three", "Italy", "SKY ITALIA", "3");
  AddRow("Four", "Malta", "Nobody Else", "4");
  DeriveCountries();
  EXPECT_EQ(S8(gui::GetText(Gadgets.VersionText)), "Deriving country names...");
  EXPECT_EQ(Attr(Service(1), "country"), "Italy");
  EXPECT_EQ(Attr(Service(2), "country"), "");
  EXPECT_EQ(Attr(xml::ChildByPosition(xml::ChildByPosition(Satellite(2), 1), 2), "country"), "Malta");
  EXPECT_TRUE(MessageTitles().empty());
}

}  // namespace
