// The bouquet editor end to end through the scenario driver: loading bouquet
// files into the two trees, marking with Shift, renaming, deleting, drag and
// drop with every acceptance rule, and saving.
//
// Fixture trees (tests/fixtures/trees/), items by index:
//   left.txt:   0 T "User Bouquets TV", 1 B Austria, 2-4 S ORF1 HD, ORF2 HD,
//               ServusTV HD, 5 B Italy, 6-7 S Rai 1, Rai 2,
//               8 T "User Bouquets Radio", 9 B Radio AT, 10 S OE3
//   export.txt: 0 T "User Bouquets TV", 1 B Germany, 2-4 S Das Erste HD,
//               ZDF HD, RTL, 5 B France, 6-7 S TV5 Monde, France 24,
//               8 T "User Bouquets Radio", 9 B Radio DE, 10-11 S Bayern 3,
//               WDR 2 Sued (non-ASCII)
//   types.txt:  0 T "user bouquets tv", 1 B X, 2 S X1, 3 T Favourites, 4 B F,
//               5-6 S F1, F2
#include <algorithm>
#include <string>
#include <vector>

#include "program_harness.h"

namespace {

const char* const kLeft = "T:User Bouquets TV|B:Austria|S:ORF1 HD|S:ORF2 HD|S:ServusTV HD|B:Italy|"
                          "S:Rai 1|S:Rai 2|T:User Bouquets Radio|B:Radio AT|S:OE3";
const char* const kMarkedColour = "16499204";

// Loads left.txt into the left tree and export.txt into the right tree.
const char* const kLoadBoth =
    "tab MainPanel 2\n"
    "file left.txt\nclick LoadLeftButton\n"
    "file export.txt\nclick LoadRightButton\n";

// Text of a quoted dump field starting at the opening quote; pos moves past it.
std::string Unquote(const std::string& s, size_t& pos) {
  std::string out;
  for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
    if (s[pos] == '\\' && pos + 1 < s.size()) {
      ++pos;
      out += s[pos] == 't' ? '\t' : s[pos] == 'r' ? '\r' : s[pos] == 'n' ? '\n' : s[pos];
    } else {
      out += s[pos];
    }
  }
  ++pos;
  return out;
}

// The tree in the last dump as "T:text|B:text|S:text", a "*" after the kind
// letter for a marked item (marked colour).
std::string Tree(const std::string& out, const std::string& name) {
  const size_t at = out.rfind("\n" + name + " kind=tree");
  if (at == std::string::npos) return "(no dump)";
  std::string compact;
  size_t line = out.find('\n', at + 1) + 1;
  while (line < out.size() && out.compare(line, 2, "  ") == 0) {
    const size_t end = out.find('\n', line);
    const std::string item = out.substr(line, end - line);
    size_t quote = item.find('"');
    const std::string text = Unquote(item, quote);
    const std::string rest = item.substr(quote);
    const char kind = rest.find("level=0") != std::string::npos   ? 'T'
                      : rest.find("level=1") != std::string::npos ? 'B'
                                                                  : 'S';
    if (!compact.empty()) compact += "|";
    compact += kind;
    if (rest.find(std::string("colour=") + kMarkedColour) != std::string::npos) compact += "*";
    compact += ":" + text;
    line = end + 1;
  }
#ifndef OVN_UNICODE
  // The 8-bit build holds the two UTF-8 bytes of "\xC3\xBC" in export.txt as two
  // characters, which the dump shows as such.
  const size_t sued = compact.find("S\xC3\x83\xC2\xBC" "d");
  if (sued != std::string::npos) compact.replace(sued, 6, "S\xC3\xBC" "d");
#endif
  return compact;
}

// Text of a gadget in the last dump.
std::string DumpText(const std::string& out, const std::string& name) {
  const size_t at = out.rfind("\n" + name + " kind=");
  if (at == std::string::npos) return "(no dump)";
  size_t quote = out.find("text=\"", at) + 5;
  return Unquote(out, quote);
}

// The node list printed by the last "nodes" command of the tree.
std::string Nodes(const std::string& out, const std::string& name) {
  const size_t at = out.rfind(name + " nodes=");
  if (at == std::string::npos) return "(no nodes)";
  size_t end = out.find('\n', at);
  while (end != std::string::npos && out.compare(end + 1, 2, "  ") == 0)
    end = out.find('\n', end + 1);
  return out.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
}

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// Columns 1 to 5 of an entry line ("0 1 User Bouquets TV Germany ZDF HD").
std::string Head(const std::string& line) {
  std::string out;
  size_t start = 0;
  for (int column = 0; column < 5; ++column) {
    const size_t tab = line.find('\t', start);
    if (column) out += " ";
    out += line.substr(start, tab - start);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  return out;
}

class TreeEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyFlagPictures();
    for (const auto& entry : fs::directory_iterator(SourceDir() / "tests" / "fixtures" / "trees"))
      fs::copy_file(entry.path(), entry.path().filename());
    // The first run writes the settings file; later scenarios start without questions.
    ASSERT_EQ(RunScenario("file cancel\n").exitCode, 0);
  }

  // Runs the scenario and fails the test when the driver did.
  std::string Run(const std::string& scenario) {
    const ScenarioResult r = RunScenario(scenario);
    EXPECT_EQ(r.exitCode, 0) << scenario << "\nstderr: " << r.err;
    return r.out;
  }

  TempWorkFolder folder_;
};

// ---- loading -------------------------------------------------------------------

TEST_F(TreeEditorTest, LoadingGroupsByThePreviousLineOnly) {
  struct Case {
    const char* file;
    const char* tree;
    const char* status;  // StatusLine1 afterwards
    const char* message;  // box shown, or ""
  };
  const Case cases[] = {
      {"left.txt", kLeft, "left.txt", ""},
      {"bad_header.txt", "", "", "message \"File read error.\" \"Not a bouquet file: bad_header.txt\""},
      {"blank_line.txt", "T:User Bouquets TV|B:A|S:S1|T:|B:|S:|T:User Bouquets TV|B:A|S:S2",
       "blank_line.txt", ""},
      {"split_groups.txt",
       "T:User Bouquets TV|B:A|S:S1|B:B|S:S2|B:A|S:S3|T:User Bouquets Radio|B:A|S:R1|S: R2  ",
       "split_groups.txt", ""},
      {"bom.txt", "T:User Bouquets TV|B:A|S:S1", "bom.txt", ""},
      {"header_only.txt", "", "header_only.txt", ""},
      {"missing.txt", "", "VersionDate 2018-05-14", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string out =
        Run(std::string("file export.txt\nclick LoadRightButton\nfile ") + c.file +
            "\nclick LoadLeftButton\ndump\nnodes LeftTree\nnodes RightTree\n");
    EXPECT_EQ(Tree(out, "LeftTree"), c.tree);
    const std::string status = DumpText(out, "StatusLine1");
    if (*c.status) {
      EXPECT_EQ(status.rfind(c.status, 0), 0u) << status;
    } else {
      EXPECT_EQ(status, "");
    }
    if (*c.message) {
      EXPECT_NE(out.find(c.message), std::string::npos) << out;
    }
    EXPECT_EQ(out.find("message \"File read error.\"") != std::string::npos, *c.message != 0);
    EXPECT_EQ(out.find("open-file \"Where is the Orbvane bouquet file ?\" \"*.txt\" -> "),
              out.rfind("open-file")) << out;
    // The other tree keeps its file, items and nodes.
    EXPECT_EQ(DumpText(out, "StatusLine2"), "export.txt");
    EXPECT_EQ(Tree(out, "RightTree").substr(0, 29), "T:User Bouquets TV|B:Germany|");
    EXPECT_NE(Nodes(out, "RightTree").find("RightTree nodes=12"), std::string::npos);
  }
}

TEST_F(TreeEditorTest, NodesFollowTheItemsWithTrimmedEntries) {
  const std::string out = Run("file split_groups.txt\nclick LoadLeftButton\nnodes LeftTree\n");
  EXPECT_EQ(Nodes(out, "LeftTree"),
            "LeftTree nodes=11\n"
            "  0 level=0 mark=0 0 0 \"User Bouquets TV\" \"A\" \"S1\"\n"
            "  1 level=1 mark=0 0 0 \"User Bouquets TV\" \"A\" \"S1\"\n"
            "  2 level=2 mark=0 0 0 \"User Bouquets TV\" \"A\" \"S1\"\n"
            "  3 level=1 mark=0 1 0 \"User Bouquets TV\" \"B\" \"S2\"\n"
            "  4 level=2 mark=0 1 0 \"User Bouquets TV\" \"B\" \"S2\"\n"
            "  5 level=1 mark=0 0 1 \"User Bouquets TV\" \"A\" \"S3\"\n"
            "  6 level=2 mark=0 0 1 \"User Bouquets TV\" \"A\" \"S3\"\n"
            "  7 level=0 mark=0 0 0 \"User Bouquets Radio\" \"A\" \"R1\"\n"
            "  8 level=1 mark=0 0 0 \"User Bouquets Radio\" \"A\" \"R1\"\n"
            "  9 level=2 mark=0 0 0 \"User Bouquets Radio\" \"A\" \"R1\"\n"
            "  10 level=2 mark=0 0 1 \"User Bouquets Radio\" \"A\" \"R2\"\n");
}

TEST_F(TreeEditorTest, CancelledLoadAndClearButtons) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "file cancel\nclick LoadLeftButton\ndump\n"
                              "click ClearRightButton\ndump\nnodes RightTree\n");
  const size_t firstDump = out.find("MainWindow kind=window");
  EXPECT_EQ(Tree(out.substr(0, out.find("MainWindow kind=window", firstDump + 1)), "LeftTree"), kLeft);
  EXPECT_EQ(Tree(out, "LeftTree"), kLeft);
  EXPECT_EQ(Tree(out, "RightTree"), "");
  EXPECT_EQ(DumpText(out, "StatusLine1"), "left.txt");
  EXPECT_EQ(DumpText(out, "StatusLine2").rfind("VersionDate 2018-05-14", 0), 0u);
  EXPECT_NE(Nodes(out, "RightTree").find("RightTree nodes=0"), std::string::npos);
}

// ---- marking and deleting ---------------------------------------------------------

TEST_F(TreeEditorTest, ShiftRangesStopAtBouquetItemsAndSubtreesFollowTheirItem) {
  struct Case {
    const char* name;
    const char* actions;  // after both trees are loaded
    const char* right;    // the right tree afterwards
  };
  const Case cases[] = {
      {"no current item marks the last item", "click RightTree\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S*:WDR 2 S\xC3\xBC" "d"},
      {"shift-click up to the anchor", "click RightTree 4\nshift on\nclick RightTree 2\n",
       "T:User Bouquets TV|B:Germany|S*:Das Erste HD|S*:ZDF HD|S*:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"the anchor stays", "click RightTree 4\nshift on\nclick RightTree 2\nclick RightTree 3\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S*:ZDF HD|S*:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"a range down stops at a bouquet item", "click RightTree 2\nshift on\nclick RightTree 7\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S*:TV5 Monde|"
       "S*:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"a range up stops at a bouquet item", "click RightTree 7\nshift on\nclick RightTree 3\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S*:ZDF HD|S*:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"the anchor of the other tree", "click LeftTree 3\nshift on\nclick RightTree 4\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S*:ZDF HD|S*:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"shift after a bouquet click is a plain click",
       "click RightTree 1\nshift on\nclick RightTree 3\nclick RightTree 2\n",
       "T:User Bouquets TV|B:Germany|S*:Das Erste HD|S*:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"a right click marks too", "rightclick RightTree 3\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S*:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"in edit mode a drag neither marks nor drops",
       "click EditModeCheck\nshift on\ndrag RightTree 1\ndrop RightTree 5\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"plain click on a bouquet marks it alone", "click RightTree 5\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B*:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"shift-click on a bouquet marks its services", "shift on\nclick RightTree 1\n",
       "T:User Bouquets TV|B*:Germany|S*:Das Erste HD|S*:ZDF HD|S*:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"shift-click on a type marks up to the next type", "shift on\nclick RightTree 0\n",
       "T*:User Bouquets TV|B*:Germany|S*:Das Erste HD|S*:ZDF HD|S*:RTL|B*:France|S*:TV5 Monde|"
       "S*:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"marks do not add up over clicks", "click RightTree 2\nclick RightTree 6\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S*:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"edit mode clears every mark", "shift on\nclick RightTree 0\nclick EditModeCheck\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      // Deleting what was marked.
      {"delete after shift on a bouquet", "shift on\nclick RightTree 1\nclick DeleteRightButton\n",
       "T:User Bouquets TV|B:France|S:TV5 Monde|S:France 24|T:User Bouquets Radio|B:Radio DE|"
       "S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"delete after shift on a type", "shift on\nclick RightTree 0\nclick DeleteRightButton\n",
       "T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"delete of the last type with its two services", "shift on\nclick RightTree 8\nclick DeleteRightButton\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24"},
      {"delete after a plain bouquet click removes nothing", "click RightTree 5\nclick DeleteRightButton\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B*:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"delete of a service range", "click RightTree 3\nshift on\nclick RightTree 4\nclick DeleteRightButton\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"delete on the other tree does nothing here", "shift on\nclick RightTree 0\nclick DeleteLeftButton\n",
       "T*:User Bouquets TV|B*:Germany|S*:Das Erste HD|S*:ZDF HD|S*:RTL|B*:France|S*:TV5 Monde|"
       "S*:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out =
        Run(std::string(kLoadBoth) + c.actions + "dump\nnodes LeftTree\nnodes RightTree\n");
    const std::string right = Tree(out, "RightTree");
    EXPECT_EQ(right, c.right);
    if (std::string(c.actions).find("LeftTree") == std::string::npos) {
      EXPECT_EQ(Tree(out, "LeftTree").find('*'), std::string::npos);
    }
    // Node list and marks in step with the tree.
    const std::string nodes = Nodes(out, "RightTree");
    const size_t items = std::count(right.begin(), right.end(), '|') + (right.empty() ? 0 : 1);
    EXPECT_NE(nodes.find("RightTree nodes=" + std::to_string(items) + "\n"), std::string::npos);
    EXPECT_EQ(static_cast<size_t>(std::count(right.begin(), right.end(), '*')),
              [&] {
                size_t n = 0;
                for (size_t at = nodes.find("mark=1"); at != std::string::npos;
                     at = nodes.find("mark=1", at + 1))
                  ++n;
                return n;
              }());
    EXPECT_EQ(out.find(" batch="), std::string::npos) << "a tree batch left open";
  }
}

TEST_F(TreeEditorTest, StatusLineShowsTheServiceOrTheFile) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "click RightTree 3\n"
                              "expect StatusLine2 \"ZDF HD / 19.2E Astra 1KR / ZDF / 11494000 H / 1601 / 1602\"\n"
                              "click RightTree 5\n"
                              "expect StatusLine2 export.txt\n"
                              "click LeftTree 10\n"
                              "expect StatusLine1 \"OE3 / 19.2E Astra 1KR / ARD / 11494000 H / 0 / 3012\"\n"
                              "expect StatusLine2 export.txt\n");
  (void)out;
}

// ---- renaming in edit mode ----------------------------------------------------------

TEST_F(TreeEditorTest, RenamesAcceptedAndRejected) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "click EditModeCheck\n"
                              "click RightTree 3\n"
                              "expect StatusLine2 \"ZDF HD / 19.2E Astra 1KR / ZDF / 11494000 H / 1601 / 1602\"\n"
                              "type \"ZDF neo HD \"\n"
                              "expect StatusLine2 \"ZDF neo HD  / 19.2E Astra 1KR / ZDF / 11494000 H / 1601 / 1602\"\n"
                              "rightclick RightTree 4\n"
                              "type \"\"\n"
                              "click RightTree 6\n"
                              "type cancel\n"
                              "click RightTree 5\n"
                              "type Frankreich\n"
                              "expect StatusLine2 export.txt\n"
                              "dump\nnodes RightTree\n"
                              "file renamed.txt\nclick SaveRightButton\n");
  EXPECT_EQ(Tree(out, "RightTree").rfind(
                "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF neo HD |S:RTL|B:Frankreich|"
                "S:TV5 Monde|S:France 24|T:User Bouquets Radio|",
                0),
            0u)
      << Tree(out, "RightTree");
  const std::string nodes = Nodes(out, "RightTree");
  EXPECT_NE(nodes.find("  3 level=2 mark=0 0 1 \"User Bouquets TV\" \"Germany\" \"ZDF neo HD \"\n"),
            std::string::npos) << nodes;
  EXPECT_NE(nodes.find("  4 level=2 mark=0 0 2 \"User Bouquets TV\" \"Germany\" \"RTL\"\n"),
            std::string::npos) << nodes;
  EXPECT_NE(nodes.find("  5 level=1 mark=0 1 0 \"User Bouquets TV\" \"Frankreich\" \"TV5 Monde\"\n"),
            std::string::npos) << nodes;
  // The services below a renamed bouquet take its new name when saved.
  const std::vector<std::string> lines = Lines(ReadBytes("renamed.txt"));
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(Head(lines[2]), "0 1 User Bouquets TV Germany ZDF neo HD");
  EXPECT_EQ(Head(lines[4]), "1 0 User Bouquets TV Frankreich TV5 Monde");
}

TEST_F(TreeEditorTest, NoEditOnATypeItemOrOutsideEditMode) {
  struct Case {
    const char* actions;
  };
  const Case cases[] = {
      {"click EditModeCheck\nclick RightTree 0\ntype Anything\n"},
      {"click EditModeCheck\nclick RightTree 8\nrightclick RightTree 0\ntype Anything\n"},
      {"click RightTree 3\ntype Anything\n"},
      {"click EditModeCheck\nclick RightTree 3\nclick EditModeCheck\nclick RightTree 4\ntype Anything\n"},
  };
  for (const Case& c : cases) {
    const ScenarioResult r = RunScenario(std::string(kLoadBoth) + c.actions);
    EXPECT_EQ(r.exitCode, 1) << c.actions;
    EXPECT_NE(r.err.find("no label edit in progress"), std::string::npos) << c.actions << r.err;
  }
}

// ---- drag and drop -----------------------------------------------------------------

TEST_F(TreeEditorTest, DropTableAcceptsAndRejects) {
  struct Case {
    const char* name;
    const char* actions;  // after left.txt is in the left tree, export.txt in the right
    const char* right;    // the right tree afterwards
  };
  const std::string export_ =
      "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
      "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d";
  const Case cases[] = {
      {"a type goes into an empty tree, with its subtree under Shift",
       "click ClearRightButton\nshift on\ndrag LeftTree 8\ndrop RightTree none\n",
       "T:User Bouquets Radio|B:Radio AT|S:OE3"},
      {"a plain type drag copies the type item alone",
       "click ClearRightButton\ndrag LeftTree 8\ndrop RightTree none\n", "T:User Bouquets Radio"},
      {"a TV type in any case goes first",
       "file types.txt\nclick LoadLeftButton\nshift on\ndrag LeftTree 0\ndrop RightTree 8\n",
       "T:user bouquets tv|B:X|S:X1|T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|"
       "B:France|S:TV5 Monde|S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|"
       "S:WDR 2 S\xC3\xBC" "d"},
      {"any other type goes last",
       "file types.txt\nclick LoadLeftButton\nshift on\ndrag LeftTree 3\ndrop RightTree 0\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d|"
       "T:Favourites|B:F|S:F1|S:F2"},
      {"never a type twice in a tree", "shift on\ndrag LeftTree 0\ndrop RightTree 0\n", nullptr},
      {"a type never into its own tree", "shift on\ndrag RightTree 8\ndrop RightTree 0\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T*:User Bouquets Radio|B*:Radio DE|S*:Bayern 3|S*:WDR 2 S\xC3\xBC" "d"},
      {"a type not onto a bouquet",
       "file types.txt\nclick LoadLeftButton\nshift on\ndrag LeftTree 3\ndrop RightTree 1\n", nullptr},
      {"a type not onto a service",
       "file types.txt\nclick LoadLeftButton\ndrag LeftTree 3\ndrop RightTree 2\n", nullptr},
      {"a type not onto empty space of a filled tree",
       "file types.txt\nclick LoadLeftButton\ndrag LeftTree 3\ndrop RightTree none\n", nullptr},
      {"a bouquet goes before a bouquet", "shift on\ndrag LeftTree 5\ndrop RightTree 5\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:Italy|S:Rai 1|S:Rai 2|"
       "B:France|S:TV5 Monde|S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|"
       "S:WDR 2 S\xC3\xBC" "d"},
      {"a bouquet goes first under a type", "shift on\ndrag LeftTree 9\ndrop RightTree 8\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio AT|S:OE3|B:Radio DE|S:Bayern 3|"
       "S:WDR 2 S\xC3\xBC" "d"},
      {"a bouquet not onto a service", "shift on\ndrag LeftTree 5\ndrop RightTree 6\n", nullptr},
      {"a bouquet not onto empty space", "shift on\ndrag LeftTree 5\ndrop RightTree none\n", nullptr},
      {"a bouquet not into an empty tree",
       "click ClearRightButton\nshift on\ndrag LeftTree 5\ndrop RightTree none\n", ""},
      {"a service goes before a service", "drag LeftTree 6\ndrop RightTree 3\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:Rai 1|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"three services go first under a bouquet, in their order",
       "click LeftTree 2\nshift on\ndrag LeftTree 4\ndrop RightTree 5\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:ORF1 HD|"
       "S:ORF2 HD|S:ServusTV HD|S:TV5 Monde|S:France 24|T:User Bouquets Radio|B:Radio DE|"
       "S:Bayern 3|S:WDR 2 S\xC3\xBC" "d"},
      {"a service at the end of the tree", "drag LeftTree 10\ndrop RightTree 11\n",
       "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:France|S:TV5 Monde|"
       "S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|S:OE3|S:WDR 2 S\xC3\xBC" "d"},
      {"a service not onto a type", "drag LeftTree 6\ndrop RightTree 0\n", nullptr},
      {"a service not onto empty space", "drag LeftTree 6\ndrop RightTree none\n", nullptr},
      {"a service not into an empty tree",
       "click ClearRightButton\ndrag LeftTree 6\ndrop RightTree none\n", ""},
      {"an abandoned drag changes nothing", "drag LeftTree 6\n", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out =
        Run(std::string(kLoadBoth) + c.actions + "dump\nnodes LeftTree\nnodes RightTree\n");
    const std::string right = Tree(out, "RightTree");
    EXPECT_EQ(right, c.right ? std::string(c.right) : export_);
    const std::string nodes = Nodes(out, "RightTree");
    const size_t items = std::count(right.begin(), right.end(), '|') + (right.empty() ? 0 : 1);
    EXPECT_NE(nodes.find("RightTree nodes=" + std::to_string(items) + "\n"), std::string::npos)
        << nodes;
    // An accepted drop clears the source's marks; copies are never marked.
    const bool accepted = c.right && *c.right && right != export_ && right.find('*') == std::string::npos;
    if (accepted) {
      EXPECT_EQ(nodes.find("mark=1"), std::string::npos);
      EXPECT_EQ(Tree(out, "LeftTree").find('*'), std::string::npos);
    }
    EXPECT_EQ(out.find(" batch="), std::string::npos) << "a tree batch left open";
  }
}

TEST_F(TreeEditorTest, RefusedDropKeepsTheSourceMarks) {
  const std::string out =
      Run(std::string(kLoadBoth) + "shift on\ndrag LeftTree 5\ndrop RightTree 6\ndump\n");
  EXPECT_EQ(Tree(out, "LeftTree"),
            "T:User Bouquets TV|B:Austria|S:ORF1 HD|S:ORF2 HD|S:ServusTV HD|B*:Italy|S*:Rai 1|"
            "S*:Rai 2|T:User Bouquets Radio|B:Radio AT|S:OE3");
}

TEST_F(TreeEditorTest, MoveServicesDeletesWhatWasCopied) {
  struct Case {
    const char* name;
    const char* actions;
    const char* left;
    const char* right;  // nullptr: unchanged
  };
  const char* const rightWithItaly =
      "T:User Bouquets TV|B:Germany|S:Das Erste HD|S:ZDF HD|S:RTL|B:Italy|S:Rai 1|S:Rai 2|"
      "B:France|S:TV5 Monde|S:France 24|T:User Bouquets Radio|B:Radio DE|S:Bayern 3|"
      "S:WDR 2 S\xC3\xBC" "d";
  const Case cases[] = {
      {"a moved bouquet leaves its tree",
       "click MoveServicesCheck\nshift on\ndrag LeftTree 5\ndrop RightTree 5\n",
       "T:User Bouquets TV|B:Austria|S:ORF1 HD|S:ORF2 HD|S:ServusTV HD|T:User Bouquets Radio|"
       "B:Radio AT|S:OE3",
       rightWithItaly},
      {"a copied bouquet stays", "shift on\ndrag LeftTree 5\ndrop RightTree 5\n", kLeft,
       rightWithItaly},
      {"a moved plain type item stays while it has bouquets",
       "click ClearRightButton\nclick MoveServicesCheck\ndrag LeftTree 8\ndrop RightTree none\n",
       kLeft, "T:User Bouquets Radio"},
      {"moved services within a tree, dropped inside their range",
       "click MoveServicesCheck\nclick LeftTree 2\nshift on\ndrag LeftTree 4\ndrop LeftTree 3\n",
       kLeft, nullptr},
      {"moved services within a tree, dropped on the first of their range",
       "click MoveServicesCheck\nclick LeftTree 2\nshift on\ndrag LeftTree 4\ndrop LeftTree 2\n",
       kLeft, nullptr},
      {"moved services within a tree, dropped on the last of their range",
       "click MoveServicesCheck\nclick LeftTree 2\nshift on\ndrag LeftTree 3\ndrop LeftTree 3\n",
       kLeft, nullptr},
      {"moved services within a tree, to another bouquet",
       "click MoveServicesCheck\nclick LeftTree 3\nshift on\ndrag LeftTree 4\ndrop LeftTree 9\n",
       "T:User Bouquets TV|B:Austria|S:ORF1 HD|B:Italy|S:Rai 1|S:Rai 2|T:User Bouquets Radio|"
       "B:Radio AT|S:ORF2 HD|S:ServusTV HD|S:OE3",
       nullptr},
      {"copied services within a tree, dropped inside their range",
       "click LeftTree 2\nshift on\ndrag LeftTree 4\ndrop LeftTree 3\n",
       "T:User Bouquets TV|B:Austria|S:ORF1 HD|S:ORF1 HD|S:ORF2 HD|S:ServusTV HD|S:ORF2 HD|"
       "S:ServusTV HD|B:Italy|S:Rai 1|S:Rai 2|T:User Bouquets Radio|B:Radio AT|S:OE3",
       nullptr},
      {"a moved bouquet within a tree, to its own place",
       "click MoveServicesCheck\nshift on\ndrag LeftTree 1\ndrop LeftTree 5\n",
       kLeft, nullptr},
      {"a moved bouquet within a tree, under the other type",
       "click MoveServicesCheck\nshift on\ndrag LeftTree 5\ndrop LeftTree 8\n",
       "T:User Bouquets TV|B:Austria|S:ORF1 HD|S:ORF2 HD|S:ServusTV HD|T:User Bouquets Radio|"
       "B:Italy|S:Rai 1|S:Rai 2|B:Radio AT|S:OE3",
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = Run(std::string(kLoadBoth) + c.actions +
                                "dump\nnodes LeftTree\nnodes RightTree\n");
    EXPECT_EQ(Tree(out, "LeftTree"), c.left);
    const std::string right = Tree(out, "RightTree");
    if (c.right) {
      EXPECT_EQ(right, c.right);
    } else {
      EXPECT_EQ(right.substr(0, 29), "T:User Bouquets TV|B:Germany|");
    }
    for (const char* tree : {"LeftTree", "RightTree"}) {
      const std::string nodes = Nodes(out, tree);
      const std::string items = Tree(out, tree);
      const size_t count = std::count(items.begin(), items.end(), '|') + (items.empty() ? 0 : 1);
      EXPECT_NE(nodes.find(std::string(tree) + " nodes=" + std::to_string(count) + "\n"),
                std::string::npos) << nodes;
      EXPECT_EQ(nodes.find("mark=1"), std::string::npos);
      EXPECT_EQ(nodes.find("mark=2"), std::string::npos);
    }
  }
}

TEST_F(TreeEditorTest, ForeignTextDropsChangeNothing) {
  std::string actions = "click LeftTree 2\nshift on\nclick LeftTree 4\n";
  // Whatever the handles of the trees are, texts in the form of a drag of
  // theirs, and other texts, dropped from elsewhere are ignored.
  for (int handle = 1; handle <= 80; ++handle)
    actions += "droptext RightTree 3 \"" + std::to_string(handle) + " 3\"\n";
  for (const char* text : {"", " ", "x", "-1 -1", "99999999999999999999 1", "2 99999999999"})
    actions += std::string("droptext RightTree 6 \"") + text + "\"\n";
  actions += "droptext RightTree none \"5 1\"\ndroptext LeftTree 5 \"5 1\"\n";
  const std::string out = Run(std::string(kLoadBoth) + actions + "dump\nnodes RightTree\n");
  EXPECT_EQ(Tree(out, "LeftTree"),
            "T:User Bouquets TV|B:Austria|S*:ORF1 HD|S*:ORF2 HD|S*:ServusTV HD|B:Italy|S:Rai 1|"
            "S:Rai 2|T:User Bouquets Radio|B:Radio AT|S:OE3");
  EXPECT_NE(Nodes(out, "RightTree").find("RightTree nodes=12\n"), std::string::npos);
  // A real drag afterwards still works.
  const std::string after = Run(std::string(kLoadBoth) + "droptext RightTree 3 \"1 6\"\n" +
                                "drag LeftTree 6\ndrop RightTree 3\ndump\n");
  EXPECT_NE(Tree(after, "RightTree").find("S:Das Erste HD|S:Rai 1|S:ZDF HD"), std::string::npos);
}

TEST_F(TreeEditorTest, DragNearATreeEdgeScrollsIt) {
  // The tree's dump line ends in "scrolled=N" once it was scrolled (lines down).
  auto scrolled = [](const std::string& out, const std::string& tree) {
    const size_t at = out.rfind("\n" + tree + " kind=tree");
    const std::string line = out.substr(at + 1, out.find('\n', at + 1) - at - 1);
    const size_t mark = line.find(" scrolled=");
    return mark == std::string::npos ? std::string("0") : line.substr(mark + 10);
  };
  struct Case {
    const char* pointer;
    const char* left;
    const char* right;
  };
  const Case cases[] = {
      {"pointer RightTree 10 5\n", "0", "-1"},     // top margin of the right tree
      {"pointer RightTree 289 490\n", "0", "1"},   // bottom margin
      {"pointer LeftTree 0 -40\n", "-1", "0"},     // above the left tree's column
      {"pointer LeftTree 5 500\n", "1", "0"},
      {"pointer RightTree 100 200\n", "0", "0"},   // the middle
      {"pointer RightTree 300 5\n", "0", "0"},     // between the trees
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pointer);
    const std::string out =
        Run(std::string(kLoadBoth) + c.pointer + "drag RightTree 6\ndrop RightTree 3\ndump\n");
    EXPECT_EQ(scrolled(out, "LeftTree"), c.left);
    EXPECT_EQ(scrolled(out, "RightTree"), c.right);
  }
}

// ---- saving --------------------------------------------------------------------------

TEST_F(TreeEditorTest, SavingNumbersByTypeAndBouquet) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "file saved.txt\nclick SaveLeftButton\n"
                              "expect StatusLine1 saved.txt\nnodes LeftTree\n");
  EXPECT_NE(out.find("save-file \"Save Left bouquet\" \"left.txt\" -> saved.txt"), std::string::npos)
      << out;
  const std::string bytes = ReadBytes("saved.txt");
  const std::vector<std::string> lines = Lines(bytes);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0].back(), '\r');
  const char* const heads[] = {
      "0 0 User Bouquets TV Austria ORF1 HD", "0 1 User Bouquets TV Austria ORF2 HD",
      "0 2 User Bouquets TV Austria ServusTV HD", "1 0 User Bouquets TV Italy Rai 1",
      "1 1 User Bouquets TV Italy Rai 2", "0 0 User Bouquets Radio Radio AT OE3"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(Head(lines[i + 1]), heads[i]);
    EXPECT_EQ(lines[i + 1].find('\r'), std::string::npos);
  }
  // The numbers written are in the nodes.
  EXPECT_NE(Nodes(out, "LeftTree").find("  7 level=2 mark=0 1 1 \"User Bouquets TV\" \"Italy\" \"Rai 2\""),
            std::string::npos);
}

TEST_F(TreeEditorTest, SavedMovesAndGapsAndEmptyTrees) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "click MoveServicesCheck\n"
                              "drag LeftTree 7\ndrop RightTree 5\n"  // Rai 2 first into France
                              "file moved.txt\nclick SaveRightButton\n"
                              "click ClearLeftButton\n"
                              "file empty.txt\nclick SaveLeftButton\n"
                              "file no_service_id.txt\nclick LoadLeftButton\n"
                              "file gap.txt\nclick SaveLeftButton\n");
  const std::vector<std::string> moved = Lines(ReadBytes("moved.txt"));
  ASSERT_EQ(moved.size(), 9u);
  EXPECT_EQ(Head(moved[4]), "1 0 User Bouquets TV France Rai 2");
  EXPECT_EQ(Head(moved[5]), "1 1 User Bouquets TV France TV5 Monde");
  EXPECT_EQ(ReadBytes("empty.txt"), ReadBytes("header_only.txt"));
  EXPECT_NE(out.find("save-file \"Save Left bouquet\" \"\" -> empty.txt"), std::string::npos) << out;
  const std::vector<std::string> gap = Lines(ReadBytes("gap.txt"));
  ASSERT_EQ(gap.size(), 3u);
  EXPECT_EQ(Head(gap[1]), "0 0 User Bouquets TV A S1");
  EXPECT_EQ(Head(gap[2]), "0 2 User Bouquets TV A S3");
  EXPECT_NE(out.find("message \"Service ID error\" \"Skipping: \n19.2E Astra 1KR\nS2\n11494000H\" -> OK"),
            std::string::npos) << out;
}

TEST_F(TreeEditorTest, RoundTripAndSavingTwiceGiveTheSameBytes) {
  const std::string out = Run(std::string(kLoadBoth) +
                              "file once.txt\nclick SaveRightButton\n"
                              "file twice.txt\nclick SaveRightButton\n"
                              "file again.txt\nclick SaveLeftButton\n"
                              "file again2.txt\nclick SaveLeftButton\n");
  EXPECT_NE(out.find("save-file \"Save Right bouquet\" \"export.txt\" -> once.txt"), std::string::npos);
  EXPECT_NE(out.find("save-file \"Save Right bouquet\" \"once.txt\" -> twice.txt"), std::string::npos);
  EXPECT_EQ(ReadBytes("once.txt"), ReadBytes("export.txt"));
  EXPECT_EQ(ReadBytes("twice.txt"), ReadBytes("export.txt"));
  EXPECT_EQ(ReadBytes("again.txt"), ReadBytes("again2.txt"));
  EXPECT_FALSE(fs::exists("once.txt.new"));
}

TEST_F(TreeEditorTest, SaveThatCannotCreateTheFileChangesNothing) {
  fs::create_directory("folder.txt");
  WriteBytes("locked.txt", "keep");
  fs::permissions("locked.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const bool lockedIsWritable = static_cast<bool>(std::ofstream("locked.txt", std::ios::app));
  std::vector<std::string> targets = {"no_such_folder/x.txt", "folder.txt"};
  if (!lockedIsWritable) targets.push_back("locked.txt");  // not when running with all rights
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const std::string out = Run(std::string(kLoadBoth) + "file " + target +
                                "\nclick SaveLeftButton\nexpect StatusLine1 left.txt\n"
                                "file cancel\nclick SaveLeftButton\nnodes LeftTree\n");
    EXPECT_NE(out.find("message \"File write error.\" \"Could not create bouquet " + target + "\""),
              std::string::npos) << out;
    // The numbers were not stored into the nodes.
    EXPECT_NE(Nodes(out, "LeftTree").find("  7 level=2 mark=0 0 1 \"User Bouquets TV\" \"Italy\" \"Rai 2\""),
              std::string::npos);
  }
  EXPECT_EQ(ReadBytes("locked.txt"), "keep");
  EXPECT_TRUE(fs::is_directory("folder.txt"));
}

}  // namespace
