// Reducing pages: the tag helpers, the transponder header line and its
// transponder element, the block parser and the page's text encoding.
#include "listing_harness.h"

namespace {

using page_builder::HeaderCells;
using page_builder::Page;
using page_builder::SatelliteTable;
using page_builder::ServiceTable;

using ReductionTest = ListingTest;

TEST_F(ReductionTest, StripTagReplacesEachTagByOneBlank) {
  struct Case {
    const char* before;
    const char* start;
    const char* after;
  };
  const Case cases[] = {
      {"x<A href=1>y</A>z", "<A", "x y</A>z"},
      {"x y</A>z", "</A", "x y z"},
      {"<b>1</b><b>2</b>", "<b", " 1</b> 2</b>"},
      {"<A>", "<A", " "},
      {"no tag here", "<A", "no tag here"},
      // A tag without end: the rest of the text goes.
      {"keep<A href=\"x", "<A", "keep "},
      {"a<A>b<A", "<A", "a b "},
      // The ">" is looked for from the third character of the tag on.
      {"<>x>y", "<", " y"},
      {"", "<A", ""},
  };
  for (const Case& c : cases) {
    Listing.WorkText = TextFromAscii(c.before);
    StripTag(TextFromAscii(c.start));
    EXPECT_EQ(S8(Listing.WorkText), c.after) << c.before << " / " << c.start;
  }
}

TEST_F(ReductionTest, CutBeforeDropsWhatPrecedesTheFirstOccurrence) {
  const std::pair<const char*, const char*> cases[] = {
      {"<TD><span>*</span><A>Name</A>", "</span><A>Name</A>"},
      {"no span", "no span"},
      {"</span>a</span>", "</span>a</span>"},
  };
  for (const auto& [before, after] : cases) {
    Listing.WorkText = TextFromAscii(before);
    CutBefore(TXT("</span"));
    EXPECT_EQ(S8(Listing.WorkText), after);
  }
}

TEST_F(ReductionTest, HeaderTableBecomesOneHeaderLine) {
  struct Case {
    const char* what;
    HeaderCells cells;
    const char* line;
  };
  HeaderCells stray;
  stray.strayEmptyCell = true;
  HeaderCells apsk;
  apsk.modulation = "16APSK";
  HeaderCells noNid;
  noNid.nid = "";
  HeaderCells dvbInName;
  dvbInName.satellite = "DVB-S Test";
  dvbInName.system = "DSS";
  dvbInName.modulation = "QPSK";
  HeaderCells colons;
  colons.nid = "3:18";
  colons.tid = "12:4";
  const Case cases[] = {
      {"plain", HeaderCells{},
       "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 27500 3/4 (x) - "
       "NID:318 - TID:124"},
      {"stray empty cell before the frequency", stray,
       "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 27500 3/4 (x) - "
       "NID:318 - TID:124"},
      {"16APSK", apsk,
       "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (16APSK) - 27500 3/4 (x) - "
       "NID:318 - TID:124"},
      {"no NID", noNid,
       "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 27500 3/4 (x) - NID: "
       "- TID:124"},
      {"DVB-S in the name only", dvbInName,
       "DVB-S Test (13.0E) - 10719 V - Txp: 1 - Beam: Wide DSS (QPSK) - 27500 3/4 (x) - NID:318 - "
       "TID:124"},
      {"ids with colons", colons,
       "HOTBIRD 13B (13.0E) - 10719 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 27500 3/4 (x) - "
       "NID:318 - TID:124"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // The first header table of a page is the satellite's own.
    const std::vector<std::string> lines =
        Reduce(Page(SatelliteTable() + page_builder::HeaderTable(c.cells)));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "--->>>");
    EXPECT_EQ(lines[1], c.line);
  }
}

TEST_F(ReductionTest, HeaderLineGivesTheTransponderAttributes) {
  struct Case {
    const char* line;
    const char* attributes;  // frequency polarization nid tid msys mtyp symbol_rate fec_inner
  };
  const Case cases[] = {
      {"HOTBIRD 13B (13.0E) - 987.50 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 275 3/4 (x) - "
       "NID:318 - TID:124",
       "987.50|V|318|124|DVB-S2|8PSK|275|3/4"},
      // Without a FEC the next part is taken as the FEC.
      {"HOTBIRD 13B (13.0E) - 987.50 V - Txp: 1 - Beam: Wide DVB-S2 (8PSK) - 275 (x) - NID:318 "
       "- TID:124",
       "987.50|V|318|124|DVB-S2|8PSK|275|(x)"},
      // Without "NID:" the searches start at fixed places and take what is there.
      {"S (1.0W) - 11000 H - Txp: 2 - Beam: B DVB-S (QPSK) - 22000 5/6", "11000|H|11000 H|11000|DVB-S|QPSK|22000|AUTO"},
      {"DVB-S Test (13.0E) - 10719 L - Txp: 1 - Beam: Wide DSS (QPSK) - 27500 3/4 (x) - NID:318 - "
       "TID:124",
       "10719|L|318|124|***|QPSK|27500|3/4"},
      {"X (13.0E) - 10719 R - Txp: 1 - Beam: Wide DVB-S (ABC) - 27500 3/4 (x) - NID: - TID:124",
       "10719|R||124|DVB-S|***|19|R"},
  };
  ASSERT_TRUE(AddSatellite(TXT("SAT"), TXT("13.0E"), TXT("url")));
  int n = 0;
  for (const Case& c : cases) {
    Listing.WorkText = TextFromAscii(c.line);
    ASSERT_EQ(AddTransponder(), TransponderResult::Created) << c.line;
    EXPECT_EQ(S8(Listing.WorkText), c.line) << "the header line stays for messages";
    xml::XmlNode* tp = Transponder(++n);
    ASSERT_EQ(tp, Listing.CurrentTransponder);
    std::string got;
    for (const char* name : {"frequency", "polarization", "nid", "tid", "msys", "mtyp",
                             "symbol_rate", "fec_inner"})
      got += (got.empty() ? "" : "|") + Attr(tp, name);
    EXPECT_EQ(got, c.attributes) << c.line;
  }
  EXPECT_EQ(Listing.TransponderCount, n);

  Listing.WorkText = TXT("X (1.0E) - 10719 V - Txp: 1 - Beam: W DVB-S2 (16APSK) - 1 2 (x) - NID:1 - TID:2");
  EXPECT_EQ(AddTransponder(), TransponderResult::Skipped);
  EXPECT_EQ(Listing.TransponderCount, n);
  EXPECT_EQ(xml::ChildCount(Satellite()), n);
}

TEST_F(ReductionTest, ServiceBlocksCountOnlyUnderAnAcceptedHeader) {
  HeaderCells apsk;
  apsk.modulation = "16APSK";
  HeaderCells noDvb;
  noDvb.system = "DSS";
  HeaderCells second;
  second.frequency = "11034";
  const std::string table = ServiceTable({TvRow("One", "1")});
  Parse(Page(SatelliteTable() + table +                         // before any header: dropped
             page_builder::HeaderTable(apsk) + table +          // skipped header
             page_builder::HeaderTable(noDvb) + table +         // no DVB-S at all
             page_builder::HeaderTable(second) + ServiceTable({TvRow("Kept", "2")})));
  ASSERT_EQ(xml::ChildCount(Satellite()), 1);
  EXPECT_EQ(Attr(Transponder(), "frequency"), "11034");
  ASSERT_EQ(xml::ChildCount(Transponder()), 1);
  EXPECT_EQ(Attr(Service(), "name"), "Kept");
  EXPECT_EQ(Listing.SatelliteCount, 1);
  EXPECT_EQ(Listing.TransponderCount, 1);
  EXPECT_EQ(Listing.TvCount, 1);
  EXPECT_TRUE(MessageTitles().empty());
}

TEST_F(ReductionTest, ServiceTableRightAfterAnotherGivesNoRows) {
  Parse(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) +
             ServiceTable({TvRow("First", "1")}) + ServiceTable({TvRow("Second", "2")})));
  ASSERT_EQ(xml::ChildCount(Transponder()), 1);
  EXPECT_EQ(Attr(Service(), "name"), "First");
}

TEST_F(ReductionTest, PageWithOnlyTheSatelliteTableAndServicesGivesAnEmptySatellite) {
  Parse(Page(SatelliteTable() + ServiceTable({TvRow("Lost", "1")})));
  EXPECT_EQ(xml::ChildCount(Satellite()), 0);
  EXPECT_EQ(Listing.SatelliteCount, 1);
  EXPECT_EQ(Listing.TvCount, 0);
}

TEST_F(ReductionTest, DiscardHiddenRemovesOnlyTheLastTransponderOfAPageWithoutRows) {
  HeaderCells second;
  second.frequency = "11034";
  const std::string page =
      Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) + page_builder::HeaderTable(second));
  for (bool discard : {false, true}) {
    SCOPED_TRACE(discard);
    NewDownloadDoc();
    Shell.DiscardHiddenFlag = discard;
    Parse(page);
    ASSERT_EQ(xml::ChildCount(Satellite()), discard ? 1 : 2);
    EXPECT_EQ(Attr(Transponder(), "frequency"), "10719");
  }
  // With a service row anywhere on the page nothing is removed.
  NewDownloadDoc();
  Parse(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) +
             ServiceTable({TvRow("One", "1")}) + page_builder::HeaderTable(second)));
  EXPECT_EQ(xml::ChildCount(Satellite()), 2);
}

TEST_F(ReductionTest, WorkFilesAreRemovedAndTheirTextFollowsTheBuild) {
  // A UTF-8 page keeps its letters; the 8-bit build holds ISO-8859-1.
  page_builder::ServiceRow row = TvRow("Caf\xC3\xA9 \xD0\x9C\xD0\xB8\xD1\x80", "1");
  const std::vector<std::string> lines =
      Reduce(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) + ServiceTable({row})));
  EXPECT_FALSE(fs::exists("ovn_work/page.html.tmp"));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[4], WIDE_OR_NARROW("Caf\xC3\xA9 \xD0\x9C\xD0\xB8\xD1\x80", "Caf\xE9 ???"));

  // A page that is not UTF-8 is taken byte for byte as ISO-8859-1.
  row.name = "Caf\xE9 M\xFCller";
  const std::vector<std::string> latin =
      Reduce(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) + ServiceTable({row})));
  ASSERT_GE(latin.size(), 5u);
  EXPECT_EQ(latin[4], WIDE_OR_NARROW("Caf\xC3\xA9 M\xC3\xBCller", "Caf\xE9 M\xFCller"));

  Parse(Page(SatelliteTable() + page_builder::HeaderTable(HeaderCells{}) + ServiceTable({row})));
  EXPECT_EQ(Attr(Service(), "name"), "Caf\xC3\xA9 M\xC3\xBCller");
}

TEST_F(ReductionTest, NestedOrUnfinishedTablesAreReportedOncePerPage) {
  const std::string header = page_builder::HeaderTable(HeaderCells{});
  // A header table opened inside an unfinished one, twice.
  const std::string unfinished = "<table class=\"frq\"><tr>\n<td>1</td>\n";
  Reduce(Page(unfinished + unfinished + header));
  EXPECT_EQ(MessageTitles(), std::vector<std::string>{"HTML error ?"});

  headless::Reset();
  BuildMainWindow();
  const std::string inner = "<table class=\"frq\"><tr><td>\n<table width=\"1\"><tr><td>a</td></tr></table>\n"
                            "<table width=\"2\"><tr><td>b</td></tr></table>\n</td></tr></table>\n";
  Reduce(Page(inner));
  ASSERT_EQ(MessageTitles(), std::vector<std::string>{"Not expected HTML tag...."});
  EXPECT_EQ(S8(headless::DialogLog()[0].text), "<TABLE width=\"1\"><TR><TD>a</TD>");
}

}  // namespace
