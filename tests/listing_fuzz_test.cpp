// Malformed and random pages: the reducer and the block parser always finish,
// and what they make is a data file and list files that read back.
#include <random>

#include "listing_harness.h"

namespace {

using page_builder::HeaderCells;
using page_builder::Page;
using page_builder::SatelliteTable;
using page_builder::ServiceTable;

class MalformedPageTest : public ListingTest {
 protected:
  void SetUp() override {
    ListingTest::SetUp();
    gui::SetState(Gadgets.DoubleIdentCheck, 0);  // duplicates are kept, nobody is asked
  }

  // Reduces and parses the page; the results must be well-formed XML.
  void ParseAndCheck(const std::string& page) {
    Parse(page);
    EXPECT_FALSE(fs::exists("ovn_work/page.html.tmp"));
    const std::string saved = Saved();
    xml::LoadBytes(DataDoc, saved);
    EXPECT_EQ(xml::ParseStatus(DataDoc), 0) << S8(xml::ErrorText(DataDoc));
    WriteListFiles(Gadgets.VersionText, TXT(""));
    for (const Char* file : {TXT("country.xml"), TXT("genre.xml"), TXT("provider.xml"), TXT("language.xml")}) {
      xml::LoadFile(GenreDoc, file);
      EXPECT_EQ(xml::ParseStatus(GenreDoc), 0) << S8(file) << ": " << S8(xml::ErrorText(GenreDoc));
    }
  }

  void Restart() {
    headless::Reset();
    BuildMainWindow();
    gui::SetState(Gadgets.DoubleIdentCheck, 0);
    ClearCollections();
    NewDownloadDoc();
  }
};

std::string RowsOf(int count) {
  std::vector<page_builder::ServiceRow> rows;
  for (int i = 0; i < count; ++i) rows.push_back(TvRow("S" + std::to_string(i), std::to_string(i % 7)));
  return ServiceTable(rows);
}

TEST_F(MalformedPageTest, BrokenPagesFinish) {
  const std::string header = page_builder::HeaderTable(HeaderCells{});
  const std::string full = SatelliteTable() + header + RowsOf(5);
  std::string binary;
  std::mt19937 random(7);
  for (int i = 0; i < 30000; ++i) binary += static_cast<char>(random());
  struct Case {
    const char* what;
    std::string page;
  };
  const Case cases[] = {
      {"unclosed service table", Page(SatelliteTable() + header + "<table class=\"fl\">\n<tr><td class=\"k\">\n<img src=\"/tv.gif\"></td>\n")},
      {"unclosed header table", Page(SatelliteTable() + "<table class=\"frq\"><tr>\n<td>13.0E</td>\n")},
      {"cut in the middle of a row", full.substr(0, full.size() - 300)},
      {"cut in the middle of a header", (SatelliteTable() + header).substr(0, SatelliteTable().size() + 200)},
      {"no header table", Page(RowsOf(3))},
      {"only table ends", Page("</table></table>\n</TABLE>\n" + header + RowsOf(1))},
      {"binary bytes", binary},
      {"binary inside a table", Page(SatelliteTable() + header + "<table class=\"fl\">\n" + binary + "\n</table>\n")},
      {"empty page", ""},
      {"only line ends", std::string(30000, '\n') + std::string(30000, '\r')},
      {"many duplicate ids", Page(SatelliteTable() + header + RowsOf(400))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    ParseAndCheck(c.page);
  }
}

TEST_F(MalformedPageTest, FiveMegabyteLinesFinish) {
  const std::string header = page_builder::HeaderTable(HeaderCells{});
  std::string cells = "<table class=\"fl\"><tr><td class=\"k\">";
  while (cells.size() < (5u << 20)) cells += "<td><a href=\"x\"><font color=\"blue\">y</font></a></td>";
  std::string unclosed = "<table class=\"fl\"><tr><td class=\"k\">";
  while (unclosed.size() < (5u << 20)) unclosed += "<a<A<div <font";
  std::string audio = "<table class=\"fl\"><tr><td class=\"k\">\n<img src=\"/tv.gif\"></td>\n<td>\n<td>N</td>\n"
                      "<td>C</td>\n<td>G</td>\n<td>P</td>\n<td></td>\n<td>1</td>\n<td>2</td>\n<td>";
  while (audio.size() < (5u << 20)) audio += "5 <A title=\"Version originale\"><font color=\"blue\">vo</font></A> ";
  audio += "</td>\n</tr></table>\n";
  struct Case {
    const char* what;
    std::string line;
  };
  const Case cases[] = {
      {"a line of cells", cells},
      {"a line of unclosed tags", unclosed},
      {"an audio cell of a million entries", audio},
      {"a line without any tag", std::string(5u << 20, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    ParseAndCheck(Page(SatelliteTable() + header + c.line + "\n"));
  }
}

// Pages stitched together at random from the pieces the reducers look for.
TEST_F(MalformedPageTest, SeededRandomPagesFinish) {
  const std::vector<std::string> pieces = {
      "<table class=\"frq\">", "<table class=\"fl\">", "<TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class=\"fl\">",
      "</table>", "<table>", "<tr>", "</tr>", "<td>", "</td>", "<td class=\"k\">", "<tr><td class=\"x\">",
      "<tr class=\"feed\"><td class=\"k\">", "<a href=\"/x\">", "</a>", "<A title=\"AC3 (Dolby Digital 5.1)\">",
      "<font color=\"blue\">", "</font>", "<span>", "</span>", "<img src=\"/tv.gif\">", "<img src=\"/hd.gif\">",
      "<img src=\"/dd51.gif\">", "<img src=\"/radio.gif\">", "<br>", "<br />", "&nbsp;", "&deg;", "&#233;",
      "<div ", "<div>", "</div>", "<b>", "</b>", "<i>", "DVB-S2", "DVB-S", "8PSK", "QPSK", "16APSK", "NID:",
      "TID:", "=vo", ":AC3 :", " aac ", "\"", "&", "<", ">", ":", "-", ")", "(", " ", "  ", "\t", "\n", "\r\n",
      "\r", "--->", "--->>>", "<---", "5011", "English=eng", "\xC3\xA9", "\xD0\x9C", "\xFF", "\x01", "\xED\xA0\x80",
      "\xEF\xBF\xBF", std::string(1, '\0'),
  };
  std::mt19937 random(20240501);
  const int pages = 60;
  for (int n = 0; n < pages; ++n) {
    SCOPED_TRACE(n);
    Restart();
    Shell.DiscardHiddenFlag = n % 2 == 1;
    Listing.SkipRadio = n % 3 == 0;
    std::string page;
    const size_t size = 20000 + random() % 40000;
    while (page.size() < size) page += pieces[random() % pieces.size()];
    ParseAndCheck(page);
  }
}

}  // namespace
