// The scenario driver: the real program on the headless backend, driven by a
// text file.
#include "program_harness.h"

namespace {

class ScenarioDriverTest : public ::testing::Test {
 protected:
  TempWorkFolder folder_;
};

TEST_F(ScenarioDriverTest, StartsInAnEmptyFolderAndCloses) {
  const ScenarioResult r = RunScenario("# first run, requester cancelled\nfile cancel\nclose MainWindow\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::is_directory("ALL"));
  EXPECT_TRUE(fs::is_directory("FTA"));
  EXPECT_NE(r.out.find("open-file \"Where is DreamBoxEdit satellites.xml ?\" \"satellites.xml\" -> cancel"),
            std::string::npos)
      << r.out;
  // Without ovn_work/ the flag picture is missing; the OK box is answered and reported.
  EXPECT_NE(r.out.find("message \"File not found!!\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\\r"), std::string::npos) << "CR is shown as \\r";

  // With the settings file in place the one-line scenario needs no answer.
  fs::remove_all("ALL");
  const ScenarioResult again = RunScenario("close MainWindow\n");
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(fs::is_directory("ALL"));
}

TEST_F(ScenarioDriverTest, FailuresExitNonZeroNamingTheLine) {
  struct Case {
    const char* scenario;
    const char* wanted;  // in stderr
  };
  const Case cases[] = {
      {"file cancel\n\nexpect VersionText \"nonsense\"\n", "scenario.txt:3: expect VersionText"},
      {"file cancel\nclick NoSuchGadget\n", "scenario.txt:2: unknown gadget NoSuchGadget"},
      {"file cancel\nfrobnicate now\n", "scenario.txt:2: unknown command"},
      {"file cancel\ntick SatelliteList x on\n", "scenario.txt:2: not a number"},
      {"file cancel\nexpect VersionText \"open\n", "scenario.txt:2: unterminated"},
      {"close MainWindow\n", "unanswered open-file requester"},
      {"file cancel\nyes\nfolder /tmp\n", "answers left unused at the end: [folder /tmp] [yes]"},
      {"file cancel\ntype cancel\n", "scenario.txt:2: no label edit in progress"},
  };
  for (const Case& c : cases) {
    const ScenarioResult r = RunScenario(c.scenario);
    EXPECT_NE(r.exitCode, 0) << c.scenario;
    EXPECT_NE(r.err.find(c.wanted), std::string::npos) << c.scenario << "\nstderr: " << r.err;
    fs::remove("ovn_settings.xml");
  }
}

TEST_F(ScenarioDriverTest, ChecksAndDumpSeeTheProgramState) {
  const ScenarioResult r = RunScenario(
      "file cancel\n"
      "expect VersionText \"Loaded ovn_settings.xml\"\n"
      "tab MainPanel 2\n"
      "tab MainPanel 0\n"
      "expect LanguageNameText \"English\"\n"
      "highlight SatelliteList 3\n"
      "click SelectAllSatellitesButton\n"
      "dump\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("VersionText kind=text text=\"VersionDate 2018-05-14"), std::string::npos);
  EXPECT_NE(r.out.find("StatusLine1 kind=text text=\"\" state=0 hidden"), std::string::npos);
  EXPECT_NE(r.out.find("  3 \" 28.2E ASTRA 2A,B,C,D, EUROBIRD 1 - Europe\" \" - - - -\" ticked\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  2 \" 23.5E ASTRA 1E,3A - Europe\" \" - - - -\" unticked\n"),
            std::string::npos);
}

}  // namespace
