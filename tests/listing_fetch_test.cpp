// Getting a satellite's page: used again or downloaded (from file:// sources
// here), the size check, the retries and the two questions.
#include <chrono>

#include "listing_harness.h"

#include "common/files.h"

namespace {

using page_builder::HeaderCells;
using page_builder::SatelliteTable;
using page_builder::ServiceTable;

// A page of exactly the given size with one transponder and one service.
std::string PageOfSize(size_t size) {
  std::string page = page_builder::Page(
      SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) + ServiceTable({TvRow("One", "1")}), 0);
  EXPECT_LT(page.size() + 9, size);
  page += "<!--" + std::string(size - page.size() - 9, 'x') + "-->\r\n";
  return page;
}

class FetchTest : public ListingTest {
 protected:
  void SetUp() override {
    ListingTest::SetUp();
    Listing.RetryWaitMilliseconds = 0;
    fs::create_directories("site");
    WriteBytes("site/good.html", PageOfSize(30000));
  }

  Text SourceUrl(const char* file) {
    return Utf8ToText("file://" + (fs::current_path() / "site" / file).generic_string());
  }

  void Fetch(const Text& url) {
    FetchSatellitePage(TXT("Sat"), TXT("13.0E"), TXT("ovn_work/Sat"), url, Gadgets.VersionText);
  }

  std::vector<std::string> Questions() {
    std::vector<std::string> out;
    for (const headless::DialogRecord& r : headless::DialogLog())
      if (r.kind == "question") out.push_back(S8(r.title) + "|" + S8(r.text) + "|" + r.answer);
    return out;
  }

  bool Parsed() { return xml::ChildCount(Satellite()) == 1 && xml::ChildCount(Transponder()) == 1; }

  void ExpectNoWorkFilesLeft() {
    EXPECT_FALSE(fs::exists("ovn_work/Sat.txt"));
    EXPECT_FALSE(fs::exists("ovn_work/Sat.html.tmp"));
  }
};

TEST_F(FetchTest, PageUsedAgainWithoutDownload) {
  Shell.ReuseDownloadsFlag = true;
  WriteBytes("ovn_work/Sat.html", PageOfSize(25000));
  WriteBytes("ovn_work/Sat.txt", "stale");
  Fetch(SourceUrl("missing.html"));
  EXPECT_TRUE(Parsed());
  EXPECT_EQ(ReadBytes("ovn_work/Sat.html").size(), 25000u) << "the page file stays as it was";
  EXPECT_EQ(S8(gui::GetText(Gadgets.VersionText)), "Done Sat");
  EXPECT_EQ(Attr(Satellite(), "url"), S8(SourceUrl("missing.html")));
  ExpectNoWorkFilesLeft();
  EXPECT_TRUE(Questions().empty());
}

TEST_F(FetchTest, DownloadReplacesTheOldPage) {
  WriteBytes("ovn_work/Sat.html", PageOfSize(25000));
  Fetch(SourceUrl("good.html"));
  EXPECT_TRUE(Parsed());
  EXPECT_EQ(ReadBytes("ovn_work/Sat.html"), ReadBytes("site/good.html"));
  ExpectNoWorkFilesLeft();
}

TEST_F(FetchTest, SizeCheckAndQuestions) {
  WriteBytes("site/19455.html", PageOfSize(19455));
  WriteBytes("site/19456.html", PageOfSize(19456));
  struct Case {
    const char* what;
    bool reuse;
    const char* present;  // page file already in the work folder, or nullptr
    const char* source;
    std::vector<bool> answers;
    std::vector<std::string> questions;
    bool parsed;
  };
  const std::string failed = "Download failed or small file size ?|Sat\r Try downloading again ?|";
  const std::string notPresent = "File not present or small file size ?|Sat\r Try downloading ?|";
  const Case cases[] = {
      {"19455 bytes are too few", false, nullptr, "19455.html", {false}, {failed + "No"}, false},
      {"19456 bytes are enough", false, nullptr, "19456.html", {}, {}, true},
      {"failed download, old page gone", false, "good.html", "missing.html", {true, false},
       {failed + "Yes", failed + "No"}, false},
      {"page missing, then downloaded", true, nullptr, "good.html", {true}, {notPresent + "Yes"}, true},
      {"small page present, download fails", true, "19455.html", "missing.html", {true, false},
       {notPresent + "Yes", notPresent + "No"}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    headless::Reset();
    BuildMainWindow();
    NewDownloadDoc();
    fs::remove("ovn_work/Sat.html");
    if (c.present) fs::copy_file(fs::path("site") / c.present, "ovn_work/Sat.html");
    Shell.ReuseDownloadsFlag = c.reuse;
    for (bool yes : c.answers) headless::QueueYesNoAnswer(yes);
    Fetch(SourceUrl(c.source));
    EXPECT_EQ(Questions(), c.questions);
    EXPECT_EQ(Parsed(), c.parsed);
    EXPECT_EQ(Listing.SatelliteCount, c.parsed ? 1 : 0);
    Listing.SatelliteCount = 0;
    ExpectNoWorkFilesLeft();
  }
}

TEST_F(FetchTest, AutoRetryDownloadsThreeTimesWithoutAsking) {
  headless::UserClick(Gadgets.AutoRetryCheck, gui::kLeftClick);
  Listing.RetryWaitMilliseconds = 150;
  const auto start = std::chrono::steady_clock::now();
  Fetch(SourceUrl("missing.html"));
  const auto waited = std::chrono::steady_clock::now() - start;
  // A wait before the second and before the third download.
  EXPECT_GE(waited, std::chrono::milliseconds(300));
  EXPECT_TRUE(Questions().empty());
  EXPECT_EQ(xml::ChildCount(xml::RootElement(DownloadDoc)), 0) << "the satellite is passed over";
  EXPECT_EQ(S8(gui::GetText(Gadgets.VersionText)), "Done Sat");

  // With the page used again, the small page present is the first check and
  // the retry downloads it.
  Shell.ReuseDownloadsFlag = true;
  WriteBytes("ovn_work/Sat.html", "tiny");
  Listing.RetryWaitMilliseconds = 0;
  Fetch(SourceUrl("good.html"));
  EXPECT_TRUE(Parsed());
  EXPECT_TRUE(Questions().empty());
}

}  // namespace
