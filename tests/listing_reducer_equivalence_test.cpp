// The page reducer against a plain reference reducer written from the rules
// (listing_reference_reducer.h): on random lines, random pages and generated
// pages with random damage, both must write the same bytes, show the same
// complaints and leave the same shared texts.
#include <random>

#include "listing_harness.h"
#include "listing/listing_text.h"
#include "listing_reference_reducer.h"
#include "platform/gui_headless.h"

namespace {

// Pieces of the page that the reduction rules look for, in both letter cases,
// with the blanks, tabs and broken tags around them that make rules meet.
const std::vector<std::string>& Pieces() {
  static const std::vector<std::string> pieces = {
      "<table class=\"frq\">", "<table class=\"fl\">", "<TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class=\"fl\">",
      "<table", "</table>", "</table", "<TABLE ", "</TABLE>", "<table>", "<tr>", "</tr>", "<tr", "</tr", "<TR>",
      "</TR>", "<td>", "</td>", "<td", "</td", "<TD>", "</TD>", "</TD", "</TR", "<td class=\"k\">",
      "<tr><td class=\"x\">", "<TR><TD class=", "<tr class=\"feed\"><td class=\"k\">", "<a href=\"/x\">", "</a>",
      "<a", "</a", "<A", "</A", "<A title=\"AC3 (Dolby Digital 5.1)\">", "<A title=\"", "<font color=\"blue\">",
      " <font color=\"blue\">", "</font>", "<font", "<span>", "</span>", "</span", "<img src=\"/tv.gif\">",
      "<img src=\"/hd.gif\">", "<img src=\"/3dtv.gif\">", "<img src=\"/dd51.gif\">", "<img src=\"/radio.gif\">",
      "/data.gif", "zap.gif", "feed", "<br>", "<br />", "<br /", "&nbsp;", "&nbsp", ">&nbsp;<", "&deg;", "&",
      "<div ", "<div>", "</div>", "<div", "div>", "</div", "<b>", "</b>", "<i>", "</i>", "<", ">", "/", " >",
      "  >", "\t>", "\t", " ", "  ", "   ", "=", ">=", "\"", ":", ";", "-", ")", "(", "H.265", "aac ", " aac ",
      "x", "ab", "7", "DVB-S2", "8PSK", "NID:", "TID:", "=vo", ":AC3 :", "\n", "\r\n", "\r", "\n", "\n",
      "\xC3\xA9", "\xD0\x9C", "\xE2\x82\xAC", "\xF0\x9F\x93\xBA",
  };
  return pieces;
}

std::string RandomText(std::mt19937& random, size_t pieces, bool lineEnds) {
  std::string s;
  for (size_t i = 0; i < pieces; ++i) {
    const std::string& p = Pieces()[random() % Pieces().size()];
    if (!lineEnds && (p.find('\n') != std::string::npos || p.find('\r') != std::string::npos)) continue;
    s += p;
  }
  return s;
}

class ReducerEquivalenceTest : public ListingTest {
 protected:
  void SetUp() override {
    ListingTest::SetUp();
    gui::SetState(Gadgets.DoubleIdentCheck, 0);
  }

  // Reduces the page both ways and compares everything the reduction leaves.
  void ExpectSameReduction(const std::string& pageBytes, const Text& workBefore = Text()) {
    reference::Reducer expected;
    expected.workText = workBefore;
    expected.currentLine = TXT("before");
    expected.FirstPass(DecodePage(pageBytes));
    expected.SecondPass();

    headless::Reset();
    BuildMainWindow();
    Listing.WorkText = workBefore;
    Listing.CurrentLine = TXT("before");
    WriteBytes("ovn_work/page.html", pageBytes);
    ReducePage(TXT("ovn_work/page.html"), TXT("ovn_work/page.txt"));

    EXPECT_EQ(ReadBytes("ovn_work/page.txt"), TextToFileBytes(expected.reduced));
    EXPECT_EQ(S8(Listing.WorkText), S8(expected.workText));
    EXPECT_EQ(S8(Listing.CurrentLine), S8(expected.currentLine));
    std::vector<std::pair<Text, Text>> shown;
    for (const headless::DialogRecord& d : headless::DialogLog())
      if (d.kind == "message") shown.emplace_back(d.title, d.text);
    EXPECT_EQ(shown.size(), expected.complaints.size());
    EXPECT_TRUE(shown == expected.complaints);
    EXPECT_FALSE(fs::exists("ovn_work/page.html.tmp"));
  }
};

// One line of a wanted table: the text it adds to the temporary file and the
// working text it leaves.
TEST_F(ReducerEquivalenceTest, LineNormalisationMatchesTheRules) {
  std::mt19937 random(1234);
  std::vector<std::string> lines = {
      "", " ", "\t", "<td>x</td>", "<td>x</td> ", "</td >", "</td<br />>", "</TD&nbsp;>", "x<br />>y",
      "&nbsp;>", "\t>", "<div a>>", "<div <td>x>", "<<div x>td>", "<</div>div>", ">&nbsp;<br />",
      "<br />&nbsp;<", "<TR><TD class=\"k\">", "  <tr>  <td>a</td>  </tr>  ", "</TD></TR>", "</TR> ",
      "<div ", "<div x", "a<a b</a c<A", "\xC3\xA9<td>\xE2\x82\xAC</td>",
  };
  for (int i = 0; i < 20000; ++i) lines.push_back(RandomText(random, 1 + random() % 12, false));
  for (const std::string& bytes : lines) {
    const Text line = DecodePage(bytes);
    SCOPED_TRACE(bytes);
    Text work;
    const Text written = reference::NormalisedLine(line, &work);
    CreateWorkFile(Listing.TempFileOut, TXT("ovn_work/unused.tmp"));
    Listing.WorkText = line;
    WriteReducedLine();
    ASSERT_EQ(Listing.TempFileOut.bytes, TextToFileBytes(written));
    ASSERT_EQ(S8(Listing.WorkText), S8(work));
  }
  Listing.TempFileOut = WorkFileWriter{};
}

TEST_F(ReducerEquivalenceTest, TagHelpersMatchTheRules) {
  std::mt19937 random(99);
  const Char* const starts[] = {TXT("<A"), TXT("</A"), TXT("<TD"), TXT("</TD"), TXT("<div "), TXT("<"),
                                TXT("<font"), TXT("</span"), TXT("<b"), TXT("<A>"), TXT("A"), TXT("")};
  for (int i = 0; i < 20000; ++i) {
    const Text text = DecodePage(RandomText(random, 1 + random() % 10, false));
    const Text start = starts[random() % std::size(starts)];
    Listing.WorkText = text;
    StripTag(start);
    ASSERT_EQ(S8(Listing.WorkText), S8(reference::StripTag(text, start))) << S8(text) << " / " << S8(start);
    const Text second = starts[random() % std::size(starts)];
    const Text third = starts[random() % std::size(starts)];
    Listing.WorkText = text;
    StripTags({start, second, third});
    ASSERT_EQ(S8(Listing.WorkText), S8(reference::StripTags(text, {start, second, third})))
        << S8(text) << " / " << S8(start) << S8(second) << S8(third);
    // The one-sweep form of stripping tags and removing whole tags.
    const Text tagStarts[] = {TXT("<A"), TXT("</A"), TXT("<font"), TXT("</TD"), TXT("<TD")};
    const Text blanked1 = tagStarts[random() % std::size(tagStarts)];
    const Text blanked2 = tagStarts[random() % std::size(tagStarts)];
    Listing.WorkText = text;
    if (StripApartTags({blanked1, blanked2}, {{TXT("<i>"), TXT("")}, {TXT("</i>"), TXT("")}})) {
      const Text expected = ReplaceAll(ReplaceAll(reference::StripTags(text, {blanked1, blanked2}), TXT("<i>"), Text()),
                                       TXT("</i>"), Text());
      ASSERT_EQ(S8(Listing.WorkText), S8(expected)) << S8(text) << " / " << S8(blanked1) << S8(blanked2);
    } else {
      ASSERT_EQ(S8(Listing.WorkText), S8(text));
    }
    // Replacing before stripping.
    Listing.WorkText = text;
    if (StripApartTags({blanked1, blanked2}, {{TXT("<br>"), TXT(" : ")}})) {
      const Text expected = reference::StripTags(ReplaceAll(text, TXT("<br>"), TXT(" : ")), {blanked1, blanked2});
      ASSERT_EQ(S8(Listing.WorkText), S8(expected)) << S8(text) << " / " << S8(blanked1) << S8(blanked2);
    } else {
      ASSERT_EQ(S8(Listing.WorkText), S8(text));
    }
    Text shrunk = text;
    listing_text::ShrinkBlanks(shrunk);
    ASSERT_EQ(S8(shrunk), S8(reference::Shrink(text))) << S8(text);
    Listing.WorkText = text;
    CutBefore(start);
    ASSERT_EQ(S8(Listing.WorkText), S8(reference::CutBefore(text, start))) << S8(text) << " / " << S8(start);
  }
}

TEST_F(ReducerEquivalenceTest, AudioFieldsParseAsTheRulesSay) {
  const std::vector<std::string> pieces = {
      "5011", "0", "$1F", "-3", "x", " ", "  ", "   ", ":", "::", ":AC3", ":AC3 :", "AC3", " aac ", "aac ",
      "English=eng", "=eng", "Deutsch=deu=x", "Version originale=vo", "=vo", "vo", "=", "Fr=fr", "Unknown=unk",
      "\xC3\xA9l=e", ";", "\t",
  };
  std::mt19937 random(4242);
  std::vector<std::pair<Text, Text>> languages;
  for (int i = 0; i < 20000; ++i) {
    std::string audio;
    for (int k = 0, count = 1 + random() % 10; k < count; ++k) audio += pieces[random() % pieces.size()];
    const Text text = U(audio);
    Text plain, ac3, expectedPlain, expectedAc3;
    ParseAudioField(text, plain, ac3);
    reference::ParseAudio(text, expectedPlain, expectedAc3, languages);
    ASSERT_EQ(S8(plain), S8(expectedPlain)) << audio;
    ASSERT_EQ(S8(ac3), S8(expectedAc3)) << audio;
    ASSERT_EQ(Listing.LanguageTable.size(), languages.size()) << audio;
  }
  for (size_t i = 0; i < languages.size(); ++i) {
    EXPECT_EQ(S8(Listing.LanguageTable[i].name), S8(languages[i].first));
    EXPECT_EQ(S8(Listing.LanguageTable[i].abbreviation), S8(languages[i].second));
  }
}

// Pages stitched together at random from the pieces.
TEST_F(ReducerEquivalenceTest, RandomPagesReduceAsTheRulesSay) {
  std::mt19937 random(20240502);
  for (int n = 0; n < 150; ++n) {
    SCOPED_TRACE(n);
    ExpectSameReduction(RandomText(random, 50 + random() % 3000, true), n % 4 ? Text() : TXT("</TABLE>"));
  }
}

// Pages in the site's shape with random pieces put in at random places, so
// that the cell reducers meet damaged cells inside well-formed tables.
TEST_F(ReducerEquivalenceTest, DamagedSitePagesReduceAsTheRulesSay) {
  using namespace page_builder;
  std::mt19937 random(777);
  for (int n = 0; n < 60; ++n) {
    SCOPED_TRACE(n);
    std::string tables = SatelliteTable();
    for (int tp = 0; tp < 3; ++tp) {
      HeaderCells h;
      h.strayEmptyCell = random() % 4 == 0;
      h.modulation = random() % 5 == 0 ? "16APSK" : "8PSK";
      tables += HeaderTable(h);
      std::vector<ServiceRow> rows;
      for (int s = 0; s < 6; ++s) {
        ServiceRow r = TvRow("Name " + std::to_string(s), std::to_string(s % 4));
        const char* pictures[] = {"/tv.gif", "/radio.gif", "/data.gif", "/zap.gif", "/other.gif"};
        r.picture = pictures[random() % 5];
        r.feed = random() % 7 == 0;
        r.hd = random() % 2 == 0;
        r.threeD = random() % 5 == 0;
        r.providers = {"ARD", "Sky  Italia"};
        r.crypt = "Conax Irdeto";
        r.audio.push_back({"5103", "Version originale", "vo", true});
        rows.push_back(r);
      }
      tables += ServiceTable(rows);
    }
    std::string page = Page(tables, 0);
    for (int cut = 0; cut < 1 + n % 8; ++cut)
      page.insert(random() % page.size(), RandomText(random, 1 + random() % 3, n % 3 == 0));
    ExpectSameReduction(page, n % 5 ? Text() : TXT("</TABLE>"));
  }
}

// Audio cells of the usual shape and just beside it.
TEST_F(ReducerEquivalenceTest, AudioCellsReduceAsTheRulesSay) {
  using namespace page_builder;
  const std::string link = "<A title=\"Deutsch\"><font color=\"blue\">deu</font></A>";
  const std::vector<std::string> cells = {
      "<td>5102 " + link + " 5103<img src=\"/dd51.gif\"> " + link + "</td>",
      "<td>5102 <A title=\"AC3 (Dolby Digital 5.1)\"><font color=\"blue\">x</font></A></td>",
      "<td>5102<img src=\"/dd51.gif\"><A title=\"AC3 (Dolby Digital 5.1)\"></A></td>",
      "<td>5102 aac " + link + "</td>",
      "<td>5102" + link + "=x</td>",
      "<td>5102 " + link + "<br>5103   " + link + "</td>",
      "<td class=\"a=\\\">5102 <font color=\"blue\">x</font></td>",
      "<td>5102 <A title=\"Version originale\"><font color=\"blue\">vo</font></A></td>",
      "<td><A title=\"\"><font color=\"blue\"></font></A></td>",
      "<td>5102 <A title=\"De\"utsch\"><font color=\"blue\">deu</font></A></td>",
  };
  for (const std::string& cell : cells) {
    SCOPED_TRACE(cell);
    std::string html = ServiceRowHtml(TvRow("Name", "1"));
    const size_t audio = html.find("<td>5102");
    html.replace(audio, html.find('\n', audio) - audio, cell);
    ExpectSameReduction(Page(HeaderTable(HeaderCells{}) + HeaderTable(HeaderCells{}) +
                                 "<table class=\"fl\">\n" + html + "</table>\n",
                             0));
  }
}

// Service rows whose cells are replaced at random by damaged cells, plain
// cells with odd texts, or cells holding tags, one cell per line.
TEST_F(ReducerEquivalenceTest, RandomServiceCellsReduceAsTheRulesSay) {
  using namespace page_builder;
  const std::vector<std::string> cellPieces = {
      "x", "7", ":", "::", " ", "  ", "<", ">", "<>", "<i>", "</i>", "<i", "i>", "<A href=\"/p\">", "</A>",
      "<A", "<font color=\"#1\">", "</font>", "<img src=\"/hd.gif\">", "<br>", "<TD>", "</TD", "&",
      "<b>", "\"", "=", "H.265", "\xC3\xA9",
  };
  std::mt19937 random(31337);
  auto cellText = [&] {
    std::string t;
    for (int k = 0, count = random() % 5; k < count; ++k) t += cellPieces[random() % cellPieces.size()];
    return t;
  };
  for (int n = 0; n < 150; ++n) {
    SCOPED_TRACE(n);
    std::string table = "<table class=\"fl\">\n";
    for (int row = 0; row < 8; ++row) {
      std::string html = ServiceRowHtml(TvRow("Name", std::to_string(row)));
      std::vector<std::string> lines;
      for (size_t begin = 0; begin < html.size();) {
        const size_t end = html.find('\n', begin);
        lines.push_back(html.substr(begin, end - begin));
        begin = end + 1;
      }
      // Lines 3 to 14 are the cells after the picture, from the name on.
      for (size_t i = 3; i + 1 < lines.size(); ++i) {
        switch (random() % 5) {
          case 0: lines[i] = "<td>" + cellText() + "</td>"; break;
          case 1: lines[i] = "<td class=\"c\">" + cellText() + "</td>"; break;
          case 2: lines[i] = "<td>" + cellText() + "</td>" + cellText(); break;
          case 3: lines[i] = cellText() + "<td" + cellText() + ">" + cellText() + "</td>"; break;
          default: break;
        }
      }
      // Audio cells built from the pieces of the usual shape, now and then damaged.
      if (random() % 2) {
        const std::vector<std::string> audioPieces = {
            "5102", " ", "  ", ":", "<img src=\"/dd51.gif\">", "<br>", "=", "\"", "aac ",
            "<A title=\"Deutsch\"><font color=\"blue\">deu</font></A>",
            "<A title=\"Version originale\"><font color=\"blue\">vo</font></A>",
            "<A title=\"\"><font color=\"blue\"></font></A>",
            "<A title=\"AC3 (Dolby Digital 5.1)\">", "<A title=\"AC3 (Dolby Digital 5.1)\"><font color=\"blue\">x</font></A>",
            "<A title=\"", "\"><font color=\"blue\">", "</font></A>",
            "<font color=\"blue\">", " <font color=\"blue\">", "</font>", "</A>", ">", "<", "\xC3\xA9",
        };
        std::string audio;
        for (int k = 0, count = random() % 6; k < count; ++k) audio += audioPieces[random() % audioPieces.size()];
        lines[10] = (random() % 4 ? "<td>" : "<td class=\"a\">") + audio + "</td>";
      }
      for (const std::string& line : lines) table += line + "\n";
    }
    table += "</table>\n";
    ExpectSameReduction(Page(HeaderTable(HeaderCells{}) + HeaderTable(HeaderCells{}) + table, 0));
  }
}

// The working text left by the first pass decides whether a service table
// that follows the skipped first header table yields rows.
TEST_F(ReducerEquivalenceTest, WorkingTextLeftByTheFirstPassCounts) {
  using namespace page_builder;
  const std::string tables = HeaderTable(HeaderCells{}) + ServiceTable({TvRow("A", "1")});
  for (const std::string& tail : {std::string("</table>\n"), std::string("<p>x</p>\n"), std::string("</table>")}) {
    SCOPED_TRACE(tail);
    ExpectSameReduction(tables + tail);
  }
}

}  // namespace
