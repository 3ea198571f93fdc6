// The whole road in one scenario: two satellites downloaded from the local
// listing site, the import files of the "Bouquets + Services" tab, the
// combined file loaded on the left and a DreamboxEdit export on the right,
// "Update" under the right tree, a bouquet dragged from left to right and the
// right tree saved. Every file written on the way is compared with its
// expected bytes (tests/fixtures/road/expected/, and the download's own
// expected files for the data file and the list files).
#include "listing_site_scenario.h"

#include <memory>

namespace {

using listing_site::ExpectedBytes;
using listing_site::FileNames;

const fs::path kFixtures = SourceDir() / "tests" / "fixtures" / "road";

class WholeRoadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<listing_test::ListingServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    SKIP_WITHOUT_LISTING_SERVER(*server_);
    CopyFlagPictures();
    fs::create_directories("out");
    listing_site::WriteSettings(*server_, std::string(listing_site::kHotbird) + listing_site::kAstra);
    // The export as this build reads plain text: the fixture is UTF-8.
    WriteBytes("export.txt", TextToFileBytes(Utf8ToText(ReadBytes(kFixtures / "export.txt"))));
  }

  std::string Expected(const std::string& name) { return ExpectedBytes(kFixtures / "expected", name, *server_); }

  static std::unique_ptr<listing_test::ListingServer> server_;
  TempWorkFolder folder_;
};

std::unique_ptr<listing_test::ListingServer> WholeRoadTest::server_;

// The export's right tree: "Favourites" with six services and "Austria" with
// Ö1. Against the download: France 24 on a differently named satellite
// entry (found by position) with old video and PCR PIDs, Rai 3 TGR 200 kHz
// low with an old symbol rate, Das Erste with an old package and TID,
// "Gone TV" that the site does not list, Télé Française HD on a transponder
// it has left, Россия 24/Straße TV and Ö1 with old audio PIDs.
TEST_F(WholeRoadTest, DownloadImportUpdateDragAndSave) {
  const ScenarioResult r = RunScenario(
      std::string(listing_site::kDownloadSteps) +
      "expect VersionText \"" + listing_site::kSummary + "\"\n"
      // Bouquets of the countries Austria and France and of the genre News.
      "tab MainPanel 1\n"
      "tick CountryList 0 on\n"
      "tick CountryList 1 on\n"
      "tab ListPanel 2\n"
      "tick GenreList 5 on\n"
      "click MakeImportButton\n"
      "expect VersionText \"Created services file.\"\n"
      "tab MainPanel 2\n"
      "file out/ALL/Bouquet_Orbvane_ALL.txt\n"
      "click LoadLeftButton\n"
      "file export.txt\n"
      "click LoadRightButton\n"
      "click UpdateRightButton\n"
      "expect StatusLine1 \"Number of service updates:  NOT_FOUND:1 RE_FOUND:1 Package:1 Service ID:0 "
      "Video_PID:1 Audio_PID:2 Teletext_PID:0 PCR_PID:1 AC3_PID:0\"\n"
      "expect StatusLine2 \"Number of transponder updates:: SymbolRate:1 FEC:0 TID:1 NID:0 System:0 "
      "Modulation:0\"\n"
      // The left tree's News bouquet with its services, dropped on the right
      // tree's TV type item: it becomes the first bouquet there.
      "shift on\n"
      "drag LeftTree 4\n"
      "drop RightTree 0\n"
      "shift off\n"
      "file saved.txt\n"
      "click SaveRightButton\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;
  EXPECT_NE(r.out.find("message \"Something is wrong\" \"Not found services, see file: "
                       "updated_removed_services.txt\" -> OK"),
            std::string::npos)
      << r.out;

  // Everything the run wrote, and nothing else.
  EXPECT_EQ(FileNames("."),
            (std::vector<std::string>{"ALL", "FTA", "export.txt", "out", "ovn_settings.xml", "ovn_work", "saved.txt",
                                      "scenario.err", "scenario.out", "scenario.txt",
                                      "updated_removed_services.txt"}));
  EXPECT_EQ(FileNames("out"), (std::vector<std::string>{"ALL", "FTA", "country.xml", "genre.xml", "language.xml",
                                                         "orbvane.xml", "provider.xml"}));
  listing_site::ExpectDownloadedFiles("out", *server_);
  const std::vector<std::string> imports = {"Bouquet_Austria_radio.txt", "Bouquet_France_tv.txt",
                                            "Bouquet_News_tv.txt", "Bouquet_Orbvane_ALL.txt",
                                            "Services_Orbvane_ALL.txt"};
  EXPECT_EQ(FileNames("out/ALL"), imports);
  for (const std::string& name : imports)
    EXPECT_EQ(ReadBytes(fs::path("out/ALL") / name), Expected("ALL/" + name)) << name;
  EXPECT_TRUE(fs::is_empty("out/FTA"));
  EXPECT_EQ(ReadBytes("updated_removed_services.txt"), Expected("updated_removed_services.txt"));
  EXPECT_EQ(ReadBytes("saved.txt"), Expected("saved.txt"));
  // The settings file written at the end remembers the ticked rows.
  EXPECT_EQ(ReadBytes("ovn_settings.xml"), Expected("ovn_settings.xml"));
  std::vector<std::string> work;
  for (const std::string& name : FileNames("ovn_work"))
    if (fs::path(name).extension() != ".png") work.push_back(name);
  EXPECT_EQ(work, (std::vector<std::string>{"ASTRA_1KR.html", "HOTBIRD_13B.html"}));
}

}  // namespace
