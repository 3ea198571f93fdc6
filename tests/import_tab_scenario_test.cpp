// The "Bouquets + Services" tab end to end through the scenario driver: a
// fixture data folder loaded with "Load bouquets", ticks remembered in the
// settings file and set by the user, options, and the import files compared
// byte for byte with the expected ones.
#include "program_harness.h"

namespace {

fs::path FixtureDir() { return SourceDir() / "tests" / "fixtures" / "imports"; }

// Settings without satellites or languages; the remembered ticks are given.
void WriteSettings(const std::string& bouquets) {
  WriteBytes("ovn_settings.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
             "<orbvane_settings url=\"http://en.example.invalid/freqs.php?&amp;pos=0.0\">\r\n"
             "  <satellite_list/>\r\n"
             "  <bouquet_list>\r\n" +
                 bouquets +
                 "  </bouquet_list>\r\n"
                 "</orbvane_settings>\r\n");
}

// A copy of the fixture data folder under the working folder.
fs::path CopyFixtureFolder(const std::string& name) {
  const fs::path target = fs::current_path() / name;
  fs::copy(FixtureDir() / "folder", target);
  return target;
}

std::string FolderText(const fs::path& folder) { return folder.string() + "/"; }

size_t Count(const std::string& text, const std::string& pattern) {
  size_t n = 0;
  for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) ++n;
  return n;
}

// The folder holds exactly the expected files, each byte for byte.
void ExpectSameFiles(const fs::path& expected, const fs::path& actual) {
  std::vector<std::string> wanted, found;
  for (const auto& e : fs::directory_iterator(expected)) wanted.push_back(e.path().filename().string());
  for (const auto& e : fs::directory_iterator(actual)) found.push_back(e.path().filename().string());
  std::sort(wanted.begin(), wanted.end());
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, wanted) << "files in " << actual;
  for (const std::string& name : wanted) {
    EXPECT_EQ(ReadBytes(actual / name), ReadBytes(expected / name)) << name;
  }
}

class ImportTabScenarioTest : public ::testing::Test {
 protected:
  TempWorkFolder folder_;
};

TEST_F(ImportTabScenarioTest, LoadTickAndMakeWritesTheExpectedFiles) {
  WriteSettings(
      "    <bouquet list=\"country\" name=\"Germany\" selected=\"yes\"/>\r\n"
      "    <bouquet list=\"genre\" name=\"Germany\" selected=\"yes\"/>\r\n"
      "    <bouquet list=\"provider\" name=\"\" selected=\"yes\"/>\r\n");
  const fs::path data = CopyFixtureFolder("data");
  const ScenarioResult r = RunScenario(
      "folder cancel\n"
      "folder " + FolderText(data) + "\n"
      "click MakeImportButton\n"
      "expect VersionText \"Missing one or more xml files, use button 'load bouquets'\"\n"
      "click LoadBouquetsButton\n"
      "expect VersionText \"Missing one or more xml files, use button 'load bouquets'\"\n"
      "click LoadBouquetsButton\n"
      "expect VersionText \"Loaded XML files\"\n"
      "tab ListPanel 1\n"
      "expect VersionText \"WARNING: Many Radio stations have no provider indication.....\"\n"
      "tick ProviderList 2 on\n"
      "tab ListPanel 2\n"
      "tick GenreList 2 on\n"
      "tab ListPanel 3\n"
      "expect VersionText \"Almost all Radio stations have a language indication.\"\n"
      "tick LanguageFilterList 0 on\n"
      "tick LanguageFilterList 2 on\n"
      "click HdtvBouquetCheck\n"
      "expect VersionText \"Adds a bouquet with only HDTV and 3DTV channels.\"\n"
      "click MakeImportButton\n"
      "expect VersionText \"Created services file.\"\n"
      "dump\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // The cancelled requester is remembered: the next one starts from the default.
  EXPECT_NE(r.out.find("folder \"Select the directory to load all files from.\" \"" +
                       FolderText(folder_.path()) + "\" -> cancel"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("folder \"Select the directory to load all files from.\" \"\" -> " +
                       FolderText(data)),
            std::string::npos)
      << r.out;
  // The remembered country tick, and the rows as the list files hold them.
  EXPECT_NE(r.out.find("  0 \"Germany\" ticked\n  1 \"Spain\" unticked\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  0 \"General\" unticked\n  1 \"Music\" unticked\n  2 \"News\" ticked\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  0 \"Spanish\" ticked\n  1 \"English\" unticked\n  2 \"German\" ticked\n"),
            std::string::npos)
      << r.out;
  // The feed without a service id: in its bouquet file, in the combined file
  // and in the services file.
  EXPECT_EQ(Count(r.out, "message \"Service ID error\" \"Skipping: \n19.2E ASTRA 1KR\nBackhaul feed\n10714250H\" -> OK"),
            3u)
      << r.out;
  EXPECT_EQ(Count(r.out, "message "), 3u) << r.out;

  ExpectSameFiles(FixtureDir() / "expected" / "all", data / "ALL");
  EXPECT_TRUE(fs::is_empty(data / "FTA"));
  // The ticks of this run are remembered at exit.
  const std::string settings = ReadBytes("ovn_settings.xml");
  for (const char* tick : {"list=\"country\" name=\"Germany\"", "list=\"provider\" name=\"Sky / Movies?\"",
                           "list=\"genre\" name=\"News\"", "list=\"language\" name=\"Spanish\"",
                           "list=\"language\" name=\"German\""})
    EXPECT_NE(settings.find(tick), std::string::npos) << tick << "\n" << settings;
}

TEST_F(ImportTabScenarioTest, FreeToAirWithPrefixAndCommaGoesToTheFtaFolder) {
  WriteSettings("");
  const fs::path data = CopyFixtureFolder("data");
  const ScenarioResult r = RunScenario(
      "folder " + FolderText(data) + "\n"
      "click LoadBouquetsButton\n"
      "tick CountryList 0 on\n"
      "tick GenreList 2 on\n"
      "click ForceCommaCheck\n"
      "click FtaOnlyCheck\n"
      "expect VersionText \"WARNING: some TV stations are only partially FTA.\"\n"
      "choose FtaMarkCombo 2\n"
      "click FtaOnlyCheck\n"
      "click FtaOnlyCheck\n"
      "choose FtaMarkCombo 1\n"
      "click MakeImportButton\n"
      "expect VersionText \"Created services file.\"\n"
      "dump\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("FtaMarkCombo kind=combo text=\" \\\"FTA\\\"  prefix service\" state=1 visible"),
            std::string::npos)
      << r.out;
  ExpectSameFiles(FixtureDir() / "expected" / "fta", data / "FTA");
  EXPECT_TRUE(fs::is_empty(data / "ALL"));
}

TEST_F(ImportTabScenarioTest, ComboKeepsItsRowWhileHiddenAndServicesFileIsOptional) {
  WriteSettings("    <bouquet list=\"genre\" name=\"News\" selected=\"yes\"/>\r\n");
  const fs::path data = CopyFixtureFolder("data");
  const ScenarioResult r = RunScenario(
      "folder " + FolderText(data) + "\n"
      "click LoadBouquetsButton\n"
      "click FtaOnlyCheck\n"
      "choose FtaMarkCombo 2\n"
      "click FtaOnlyCheck\n"
      "expect FtaMarkCombo \" service postfix \\\"FTA\\\"\"\n"
      "click FtaOnlyCheck\n"
      "expect FtaMarkCombo \" service postfix \\\"FTA\\\"\"\n"
      "click ServicesFileCheck\n"
      "click MakeImportButton\n"
      "expect VersionText \"Created bouquet files.\"\n"
      "dump\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("FtaMarkCombo kind=combo text=\" service postfix \\\"FTA\\\"\" state=2 visible"),
            std::string::npos)
      << r.out;
  EXPECT_FALSE(fs::exists(data / "FTA" / "Services_Orbvane_ALL.txt"));
  const std::string news = ReadBytes(data / "FTA" / "Bouquet_News_tv.txt");
  EXPECT_NE(news.find("\tUser Bouquets TV\tNews FTA\tA\t"), std::string::npos) << news;
}

TEST_F(ImportTabScenarioTest, EachMissingFileHasItsOwnText) {
  WriteSettings("");
  const fs::path full = CopyFixtureFolder("full");
  struct Case {
    const char* folder;
    const char* removed;
    const char* text;
  };
  const Case cases[] = {
      {"nogenre", "genre.xml", "Missing genre.xml, use button 'load bouquets'"},
      {"nocountry", "country.xml", "Missing country.xml, use button 'load bouquets'"},
      {"noprovider", "provider.xml", "Missing provider.xml, use button 'load bouquets'"},
      {"nolanguage", "language.xml", "Missing language.xml, use button 'load bouquets'"},
      {"nodata", "orbvane.xml", "Missing one or more xml files, use button 'load bouquets'"},
  };
  // A load that fails part way keeps what loaded before it: after the full
  // folder only the one file of each case is missing.
  std::string answers = "folder " + FolderText(full) + "\n";
  std::string actions = "click LoadBouquetsButton\n";
  for (const Case& c : cases) {
    const fs::path folder = CopyFixtureFolder(c.folder);
    fs::remove(folder / c.removed);
    answers += "folder " + FolderText(folder) + "\n";
    actions += "click LoadBouquetsButton\nclick MakeImportButton\nexpect VersionText \"" +
               std::string(c.text) + "\"\n";
  }
  const ScenarioResult r = RunScenario(answers + actions);
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  // A failed load creates no output folders there.
  for (const Case& c : cases) EXPECT_FALSE(fs::exists(fs::current_path() / c.folder / "ALL")) << c.folder;
}

}  // namespace
