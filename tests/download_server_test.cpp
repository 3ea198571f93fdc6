// A download from the local listing site through the scenario driver: three
// ticked satellites, two usable pages full of header and row cases and one
// page below the usable size; the data file and the list files compared
// byte for byte with tests/fixtures/download/expected/, the summary, the
// filter lists, the questions and the work folder.
#include "listing_site_scenario.h"

#include <memory>

namespace {

using listing_site::ExpectedBytes;
using listing_site::FileNames;

// The dump lines of the four filter lists of the second tab.
std::string FilterListsOf(const std::string& dump) {
  const size_t from = dump.find("CountryList kind=");
  const size_t to = dump.find("ForceCommaCheck kind=");
  if (from == std::string::npos || to == std::string::npos || to < from) return "";
  return dump.substr(from, to - from);
}

size_t Count(const std::string& text, const std::string& pattern) {
  size_t n = 0;
  for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1)) ++n;
  return n;
}

class DownloadServerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_ = std::make_unique<listing_test::ListingServer>(); }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    SKIP_WITHOUT_LISTING_SERVER(*server_);
    CopyFlagPictures();
    fs::create_directories("out");
    listing_site::WriteSettings(*server_, std::string(listing_site::kHotbird) + listing_site::kSmallSat +
                                              listing_site::kAstra);
  }

  // The page the server sends for a generator page name.
  static std::string GeneratedPage(const std::string& name) {
    const fs::path file = name + ".generated";
    listing_test::WriteListingPage(name, file);
    return ReadBytes(file);
  }

  static std::unique_ptr<listing_test::ListingServer> server_;
  TempWorkFolder folder_;
};

std::unique_ptr<listing_test::ListingServer> DownloadServerTest::server_;

TEST_F(DownloadServerTest, TickedSatellitesFromTheSiteBecomeTheDataFileListFilesAndFilterLists) {
  const ScenarioResult r = RunScenario(std::string(listing_site::kDownloadSteps) +
                                       "no\n"
                                       "expect VersionText \"" + listing_site::kSummary + "\"\n"
                                       "dump\n");
  ASSERT_EQ(r.exitCode, 0) << r.err << r.out;

  // Each page was asked for once, in the rows' order, under the address
  // built from the settings' url and the position.
  const std::vector<std::string> requests = server_->Requests();
  const std::vector<std::string> positions = {"13.0E", "5.0W", "19.2E"};
  ASSERT_EQ(requests.size(), positions.size());
  for (size_t i = 0; i < positions.size(); ++i)
    EXPECT_EQ(requests[i].rfind("/freqs.php?&pos=" + positions[i] + " 200 ", 0), 0u) << requests[i];
  // The small page: the question after the download, answered No.
  EXPECT_NE(r.out.find("question \"Download failed or small file size ?\" \"Small Sat\\r Try downloading again ?\" -> No"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(Count(r.out, "question "), 1u) << r.out;
  EXPECT_EQ(Count(r.out, "dialog \"Double service ident within transponder\""), 3u) << r.out;
  EXPECT_EQ(Count(r.out, "message "), 0u) << r.out;

  listing_site::ExpectDownloadedFiles("out", *server_);
  EXPECT_EQ(FileNames("out"), (std::vector<std::string>{"ALL", "FTA", "country.xml", "genre.xml", "language.xml",
                                                         "orbvane.xml", "provider.xml"}));
  EXPECT_TRUE(fs::is_empty("out/ALL"));
  EXPECT_TRUE(fs::is_empty("out/FTA"));

  EXPECT_EQ(FilterListsOf(r.out), ExpectedBytes(listing_site::DownloadExpectedDir(), "filter_lists.txt", *server_));

  // The pages stay as received, the small one too; no temporary, reduced or
  // partial file is left.
  std::vector<std::string> work;
  for (const std::string& name : FileNames("ovn_work"))
    if (fs::path(name).extension() != ".png") work.push_back(name);
  EXPECT_EQ(work, (std::vector<std::string>{"ASTRA_1KR.html", "HOTBIRD_13B.html", "Small_Sat.html"}));
  EXPECT_EQ(ReadBytes("ovn_work/HOTBIRD_13B.html"), GeneratedPage("hotbird"));

  // A second run on the kept pages asks the site nothing and gives the same files.
  fs::remove_all("out");
  fs::create_directories("out");
  const ScenarioResult again = RunScenario(std::string("click ReuseDownloadsCheck\n") + listing_site::kDownloadSteps +
                                           "no\n"
                                           "expect VersionText \"" + listing_site::kSummary + "\"\n");
  ASSERT_EQ(again.exitCode, 0) << again.err << again.out;
  EXPECT_NE(again.out.find("question \"File not present or small file size ?\" \"Small Sat\\r Try downloading ?\" -> No"),
            std::string::npos)
      << again.out;
  EXPECT_EQ(server_->Requests().size(), 3u);
  listing_site::ExpectDownloadedFiles("out", *server_);
}

}  // namespace
