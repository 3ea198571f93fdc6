// The service update end to end, through the scenario driver: the data and
// list files loaded with "Load bouquets", an export loaded into a tree,
// "Update", the tree saved; the report and the saved file compared byte for
// byte with the expected files of tests/fixtures/update/expected/.
#include "program_harness.h"

namespace {

const fs::path kFixtures = SourceDir() / "tests" / "fixtures" / "update";

// Plain text as this build writes and reads it: the fixtures are UTF-8.
std::string BuildBytes(const std::string& utf8) { return TextToFileBytes(Utf8ToText(utf8)); }

const char* const kReport = "updated_removed_services.txt";
const char* const kServiceSummaryDefault =
    "Number of service updates:  NOT_FOUND:2 RE_FOUND:2 Package:1 Service ID:0 Video_PID:1 "
    "Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0";
const char* const kTransponderSummaryDefault =
    "Number of transponder updates:: SymbolRate:1 FEC:0 TID:0 NID:0 System:0 Modulation:0";
const char* const kServiceSummaryZero =
    "Number of service updates:  NOT_FOUND:0 RE_FOUND:0 Package:0 Service ID:0 Video_PID:0 "
    "Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0";
const char* const kTransponderSummaryZero =
    "Number of transponder updates:: SymbolRate:0 FEC:0 TID:0 NID:0 System:0 Modulation:0";
const char* const kNotFoundBox =
    "message \"Something is wrong\" \"Not found services, see file: "
    "updated_removed_services.txt\" -> OK";

// Loads the data and list files of data/ through "Load bouquets".
const char* const kLoadData =
    "folder data\n"
    "tab MainPanel 1\n"
    "click LoadBouquetsButton\n"
    "expect VersionText \"Loaded XML files\"\n"
    "tab MainPanel 2\n";

class ServiceUpdateScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFlagPictures();
    fs::create_directories("data");
    for (const auto& entry : fs::directory_iterator(kFixtures / "data"))
      fs::copy_file(entry.path(), fs::path("data") / entry.path().filename());
    for (const char* name : {"export.txt", "export_comma.txt", "export_current.txt"})
      WriteBytes(name, BuildBytes(ReadBytes(kFixtures / name)));
    // The first run writes the settings file; later scenarios start without questions.
    ASSERT_EQ(RunScenario("file cancel\n").exitCode, 0);
  }

  std::string Expected(const std::string& name) {
    const fs::path path = kFixtures / "expected" / name;
    EXPECT_TRUE(fs::exists(path)) << path;
    return BuildBytes(ReadBytes(path));
  }

  TempWorkFolder folder_;
};

TEST_F(ServiceUpdateScenarioTest, UpdateOfTheRightTreeWithEachOption) {
  struct Case {
    const char* name;
    const char* file;     // loaded into the right tree
    const char* actions;  // before "Update"
    const char* services;
    const char* transponders;
    const char* report;  // expected files
    const char* saved;
  };
  const Case cases[] = {
      {"both options ticked", "export.txt", "", kServiceSummaryDefault, kTransponderSummaryDefault,
       "report_default.txt", "saved_default.txt"},
      {"services not found are kept with \"Remove not found\" unticked", "export.txt",
       "click RemoveNotFoundCheck\n", kServiceSummaryDefault, kTransponderSummaryDefault,
       "report_default.txt", "saved_kept.txt"},
      {"a bouquet marked before the run goes when left empty", "export.txt", "click RightTree 8\n",
       kServiceSummaryDefault, kTransponderSummaryDefault, "report_default.txt",
       "saved_bouquet_removed.txt"},
      {"without \"Find within satellite\" moved services are not found", "export.txt",
       "click FindWithinSatelliteCheck\n",
       "Number of service updates:  NOT_FOUND:4 RE_FOUND:0 Package:1 Service ID:0 Video_PID:1 "
       "Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0",
       kTransponderSummaryDefault, "report_not_within.txt", "saved_not_within.txt"},
      {"a position with a decimal comma needs the comma option", "export_comma.txt", "",
       "Number of service updates:  NOT_FOUND:1 RE_FOUND:0 Package:0 Service ID:0 Video_PID:0 "
       "Audio_PID:0 Teletext_PID:0 PCR_PID:0 AC3_PID:0",
       kTransponderSummaryZero, "report_comma_missing.txt", "saved_comma_missing.txt"},
      {"with the comma option the position matches", "export_comma.txt",
       "tab MainPanel 1\nclick ForceCommaCheck\ntab MainPanel 2\n", kServiceSummaryZero,
       kTransponderSummaryZero, "report_comma.txt", "saved_comma.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(kReport);
    fs::remove("saved.txt");
    const std::string scenario = std::string(kLoadData) + "file " + c.file +
                                 "\nclick LoadRightButton\n" + c.actions +
                                 "click UpdateRightButton\n"
                                 "expect StatusLine1 \"" + c.services + "\"\n"
                                 "expect StatusLine2 \"" + c.transponders + "\"\n"
                                 "file saved.txt\n"
                                 "click SaveRightButton\n";
    const ScenarioResult r = RunScenario(scenario);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadBytes(kReport), Expected(c.report));
    EXPECT_EQ(ReadBytes("saved.txt"), Expected(c.saved));
    const bool missing = std::string(c.services).find("NOT_FOUND:0") == std::string::npos;
    EXPECT_EQ(r.out.find(kNotFoundBox) != std::string::npos, missing) << r.out;
    EXPECT_EQ(r.out.find("Not a "), std::string::npos) << r.out;
  }
}

TEST_F(ServiceUpdateScenarioTest, UpdateOfTheLeftTreeWithNothingToChange) {
  WriteBytes(kReport, "an earlier report\r\n");
  const ScenarioResult r = RunScenario(std::string(kLoadData) +
                                       "file export_current.txt\n"
                                       "click LoadLeftButton\n"
                                       "click UpdateLeftButton\n"
                                       "expect StatusLine1 \"" + kServiceSummaryZero + "\"\n"
                                       "expect StatusLine2 \"" + kTransponderSummaryZero + "\"\n"
                                       "file saved.txt\n"
                                       "click SaveLeftButton\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(kReport));
  EXPECT_EQ(ReadBytes(kReport), "");
  EXPECT_EQ(ReadBytes("saved.txt"), Expected("saved_current.txt"));
  EXPECT_EQ(r.out.find("message "), std::string::npos) << r.out;
}

TEST_F(ServiceUpdateScenarioTest, UpdateBeforeAnyDataFileChangesNothing) {
  const std::string missing =
      "\"Missing xml files, use button 'Download' or 'load bouquets', see other tabs.\"";
  const ScenarioResult r = RunScenario(
      "tab MainPanel 2\n"
      "file export.txt\n"
      "click LoadRightButton\n"
      "click UpdateRightButton\n"
      "expect StatusLine1 \"\"\n"
      "expect StatusLine2 " + missing + "\n"
      "click UpdateLeftButton\n"
      "expect StatusLine1 " + missing + "\n"
      "expect StatusLine2 " + missing + "\n"
      "file saved.txt\n"
      "click SaveRightButton\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(fs::exists(kReport));
  EXPECT_EQ(r.out.find("message "), std::string::npos) << r.out;
  // The tree is saved as it was loaded, in the format's own line ends.
  EXPECT_EQ(ReadBytes("saved.txt"), Expected("saved_unchanged.txt"));
}

}  // namespace
