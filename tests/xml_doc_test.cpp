#include "platform/xml_doc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSlot = 5;
constexpr int kOtherSlot = 6;

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// A folder of its own under the system temp folder, removed afterwards.
class XmlFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() /
           ("ovn_xml_" + std::to_string(stamp) + "_" + std::to_string(rd()));
    ASSERT_TRUE(fs::create_directories(dir_));
  }
  void TearDown() override {
    xml::FreeSlot(kSlot);
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  Text PathOf(const std::string& name) const { return FromFsPath(dir_ / name); }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

class XmlSlot : public ::testing::Test {
 protected:
  void TearDown() override {
    xml::FreeSlot(kSlot);
    xml::FreeSlot(kOtherSlot);
  }
};

void ExpectEmptySlot(int slot) {
  EXPECT_FALSE(xml::IsLoaded(slot));
  EXPECT_EQ(xml::DocumentNode(slot), nullptr);
  EXPECT_EQ(xml::RootElement(slot), nullptr);
  EXPECT_EQ(xml::SaveToBytes(slot), "");
}

// ------------------------------------------------------------ escapes, text

TEST_F(XmlSlot, AttributeValueWithAllEscapedCharactersRoundTrips) {
  const Text value = TXT("a&b<c>d\"e'f\ng\rh");
  xml::CreateDocument(kSlot);
  xml::XmlNode* root = xml::AppendElement(xml::DocumentNode(kSlot), TXT("r"));
  xml::SetAttribute(root, TXT("v"), value);
  const std::string saved = xml::SaveToBytes(kSlot);
  EXPECT_EQ(saved, kDecl + "<r v=\"a&amp;b&lt;c&gt;d&quot;e&apos;f&#10;g&#13;h\"/>\r\n");

  xml::LoadBytes(kSlot, saved);
  ASSERT_TRUE(xml::IsLoaded(kSlot));
  EXPECT_EQ(xml::GetAttribute(xml::RootElement(kSlot), TXT("v")), value);
}

TEST_F(XmlSlot, TextContentIsEscapedAndReadBack) {
  xml::LoadBytes(kSlot, "<r>x &amp; &lt;y&gt; &#13;z</r>");
  const std::string saved = xml::SaveToBytes(kSlot);
  EXPECT_EQ(saved, kDecl + "<r>x &amp; &lt;y&gt; &#13;z</r>\r\n");
  xml::LoadBytes(kSlot, saved);
  EXPECT_EQ(xml::SaveToBytes(kSlot), saved);
}

TEST_F(XmlSlot, CharactersBeyondLatin1ReadPerBuildAndUntouchedValuesSaveAsRead) {
  // Cyrillic Zhe and the euro sign, then a Latin-1 e-acute.
  const std::string zheEuro = "\xD0\x96\xE2\x82\xAC x";
  xml::LoadBytes(kSlot, "<r v=\"" + zheEuro + "\" w=\"caf\xC3\xA9\"/>");
  xml::XmlNode* root = xml::RootElement(kSlot);
  ASSERT_NE(root, nullptr);
#ifdef OVN_UNICODE
  EXPECT_EQ(xml::GetAttribute(root, TXT("v")), u"\u0416\u20AC x");
#else
  EXPECT_EQ(xml::GetAttribute(root, TXT("v")), "?? x");
#endif
  EXPECT_EQ(xml::GetAttribute(root, TXT("w")), TXT("caf\xE9"));

  xml::SetAttribute(root, TXT("w"), TXT("th\xE9"));
  EXPECT_EQ(xml::SaveToBytes(kSlot),
            kDecl + "<r v=\"" + zheEuro + "\" w=\"th\xC3\xA9\"/>\r\n");

  // A value written back from the build's text is saved as the build holds it.
  xml::SetAttribute(root, TXT("v"), xml::GetAttribute(root, TXT("v")));
#ifdef OVN_UNICODE
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r v=\"" + zheEuro + "\" w=\"th\xC3\xA9\"/>\r\n");
#else
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r v=\"?? x\" w=\"th\xC3\xA9\"/>\r\n");
#endif
}

TEST_F(XmlSlot, Windows1252DeclarationIsDecoded) {
  xml::LoadBytes(kSlot, "<?xml version=\"1.0\" encoding=\"windows-1252\"?><r v=\"\x80\xE9\"/>");
  ASSERT_TRUE(xml::IsLoaded(kSlot)) << xml::ParseStatus(kSlot);
#ifdef OVN_UNICODE
  EXPECT_EQ(xml::GetAttribute(xml::RootElement(kSlot), TXT("v")), u"\u20AC\xE9");
#else
  EXPECT_EQ(xml::GetAttribute(xml::RootElement(kSlot), TXT("v")), "?\xE9");
#endif
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r v=\"\xE2\x82\xAC\xC3\xA9\"/>\r\n");
}

// ------------------------------------------------------------ navigation

TEST_F(XmlSlot, ChildPositionsCountElementsCommentsCdataAndInstructionsButNotText) {
  xml::LoadBytes(kSlot,
                 "<!--top--><r>lead<!--c-->\n  <a/>mid<?pi data?><![CDATA[cd]]>\n<b/>tail</r>");
  xml::XmlNode* root = xml::RootElement(kSlot);
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(xml::NameIs(root, "r"));
  EXPECT_EQ(xml::Kind(xml::ChildByPosition(xml::DocumentNode(kSlot), 1)), xml::NodeKind::Comment);
  EXPECT_EQ(xml::ChildCount(root), 5);

  struct Case {
    int position;
    xml::NodeKind kind;
    Text nameOrText;  // element name, or text of the other kinds
  };
  const Case cases[] = {
      {-3, xml::NodeKind::Comment, TXT("c")},
      {0, xml::NodeKind::Comment, TXT("c")},
      {1, xml::NodeKind::Comment, TXT("c")},
      {2, xml::NodeKind::Element, TXT("a")},
      {3, xml::NodeKind::ProcessingInstruction, TXT("data")},
      {4, xml::NodeKind::CData, TXT("cd")},
      {5, xml::NodeKind::Element, TXT("b")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    xml::XmlNode* child = xml::ChildByPosition(root, c.position);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(xml::Kind(child), c.kind);
    EXPECT_EQ(xml::Parent(child), root);
    if (c.kind == xml::NodeKind::Element) {
      EXPECT_EQ(xml::Name(child), c.nameOrText);
    } else {
      EXPECT_EQ(xml::NodeText(child), c.nameOrText);
      EXPECT_EQ(xml::Name(child), Text());
    }
  }
  EXPECT_EQ(xml::ChildByPosition(root, 6), nullptr);

  // Walking by NextSibling meets the same nodes in the same order.
  int position = 1;
  for (xml::XmlNode* n = xml::ChildByPosition(root, 1); n; n = xml::NextSibling(n), ++position) {
    EXPECT_EQ(n, xml::ChildByPosition(root, position));
  }
  EXPECT_EQ(position, 6);
}

TEST_F(XmlSlot, NullNodesAndSlotsOutOfRangeGiveEmptyResults) {
  EXPECT_EQ(xml::ChildByPosition(nullptr, 1), nullptr);
  EXPECT_EQ(xml::NextSibling(nullptr), nullptr);
  EXPECT_EQ(xml::Parent(nullptr), nullptr);
  EXPECT_EQ(xml::ChildCount(nullptr), 0);
  EXPECT_EQ(xml::Name(nullptr), Text());
  EXPECT_FALSE(xml::NameIs(nullptr, "r"));
  EXPECT_EQ(xml::GetAttribute(nullptr, TXT("a")), Text());
  EXPECT_EQ(xml::AppendElement(nullptr, TXT("a")), nullptr);
  xml::SetAttribute(nullptr, TXT("a"), TXT("b"));
  xml::RemoveAttribute(nullptr, TXT("a"));
  xml::DeleteNode(nullptr);
  for (int slot : {-1, xml::kSlotCount}) {
    xml::LoadBytes(slot, "<r/>");
    xml::CreateDocument(slot);
    EXPECT_FALSE(xml::IsLoaded(slot));
    EXPECT_EQ(xml::DocumentNode(slot), nullptr);
    EXPECT_FALSE(xml::SaveFile(slot, TXT("unused.xml")));
  }
}

// ------------------------------------------------------------ loading and errors

TEST_F(XmlFiles, ErrorLineAndCharacterCountCharactersNotBytes) {
  // Line 3 holds two two-byte characters before the stray "<" at character 11.
  Write("bad.xml", "<a>\n<b/>\n<c x=\"\xC3\xA4\xC3\xA4\" <\n</a>");
  xml::LoadFile(kSlot, PathOf("bad.xml"));
  ExpectEmptySlot(kSlot);
  EXPECT_NE(xml::ParseStatus(kSlot), 0);
  EXPECT_EQ(xml::ErrorText(kSlot), TXT("not well-formed (invalid token)"));
  EXPECT_EQ(xml::ErrorLine(kSlot), 3);
  EXPECT_EQ(xml::ErrorCharacter(kSlot), 11);
}

TEST_F(XmlFiles, MissingOrEmptyFileLeavesSlotEmptyWithoutError) {
  Write("empty.xml", "");
  for (const std::string name : {"empty.xml", "missing.xml", ""}) {
    SCOPED_TRACE(name);
    xml::LoadBytes(kSlot, "<r>");  // an error first, which the load must clear
    ASSERT_NE(xml::ParseStatus(kSlot), 0);
    xml::LoadBytes(kSlot, "<r/>");
    ASSERT_TRUE(xml::IsLoaded(kSlot));
    xml::LoadFile(kSlot, name.empty() ? FromFsPath(dir_) : PathOf(name));
    ExpectEmptySlot(kSlot);
    EXPECT_EQ(xml::ParseStatus(kSlot), 0);
    EXPECT_EQ(xml::ErrorText(kSlot), Text());
  }
}

TEST_F(XmlFiles, LoadReplacesAndFailedLoadEmptiesTheSlot) {
  Write("a.xml", "<first/>");
  Write("b.xml", "<second><x/></second>");
  Write("bad.xml", "<third>");
  xml::LoadFile(kSlot, PathOf("a.xml"));
  EXPECT_TRUE(xml::NameIs(xml::RootElement(kSlot), "first"));
  xml::LoadFile(kSlot, PathOf("b.xml"));
  EXPECT_TRUE(xml::NameIs(xml::RootElement(kSlot), "second"));
  EXPECT_EQ(xml::ParseStatus(kSlot), 0);
  xml::LoadFile(kSlot, PathOf("bad.xml"));
  ExpectEmptySlot(kSlot);
  EXPECT_NE(xml::ParseStatus(kSlot), 0);
  EXPECT_EQ(xml::ErrorLine(kSlot), 1);
  xml::FreeSlot(kSlot);
  xml::FreeSlot(kSlot);
  ExpectEmptySlot(kSlot);
}

TEST_F(XmlFiles, Utf16FileWithByteOrderMarkLoads) {
  const std::string ascii = "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r v=\"#\"/>";
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    if (c == '#') {
      bytes += "\x16\x04";  // U+0416
    } else {
      bytes += c;
      bytes += '\0';
    }
  }
  Write("u16.xml", bytes);
  xml::LoadFile(kSlot, PathOf("u16.xml"));
  ASSERT_TRUE(xml::IsLoaded(kSlot)) << xml::ParseStatus(kSlot);
#ifdef OVN_UNICODE
  EXPECT_EQ(xml::GetAttribute(xml::RootElement(kSlot), TXT("v")), u"\u0416");
#else
  EXPECT_EQ(xml::GetAttribute(xml::RootElement(kSlot), TXT("v")), "?");
#endif
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r v=\"\xD0\x96\"/>\r\n");
}

std::string Nested(int depth) {
  std::string s;
  for (int i = 0; i < depth; ++i) s += "<a>";
  for (int i = 0; i < depth; ++i) s += "</a>";
  return s;
}

std::string Laughs() {
  std::string s = "<!DOCTYPE r [<!ENTITY l0 \"lollollollol\">";
  for (int i = 1; i <= 10; ++i) {
    s += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int j = 0; j < 10; ++j) s += "&l" + std::to_string(i - 1) + ";";
    s += "\">";
  }
  return s + "]><r>&l10;</r>";
}

std::string Garbage() {
  std::string s;
  uint32_t x = 12345;
  for (int i = 0; i < 5000; ++i) {
    x = x * 1103515245u + 12345u;
    s += static_cast<char>(x >> 24);
  }
  return s;
}

std::string ManyAttributes() {
  std::string s = "<r";
  for (int i = 0; i < 2000; ++i) s += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  return s + "/>";
}

TEST_F(XmlSlot, MalformedAndHostileInputNeverCrashesOrHangs) {
  struct Case {
    const char* what;
    std::string bytes;
    bool loads;
  };
  const std::vector<Case> cases = {
      {"truncated start tag", "<r a=\"1", false},
      {"truncated document", "<r><a>", false},
      {"mismatched end tag", "<r><a></r>", false},
      {"undefined entity", "<r>&bogus;</r>", false},
      {"reference to NUL", "<r>&#0;</r>", false},
      {"unterminated reference", "<r>&amp</r>", false},
      {"duplicate attribute", "<r a=\"1\" a=\"2\"/>", false},
      {"second root", "<r/><s/>", false},
      {"blanks only", "   \r\n ", false},
      {"declaration only", "<?xml version=\"1.0\"?>", false},
      {"comment only", "<!--x-->", false},
      {"binary garbage", Garbage(), false},
      {"NUL bytes", std::string("\0\0\0\0", 4), false},
      {"invalid UTF-8", "<r>\xFF\xFE</r>", false},
      {"CDATA end in text", "<r>]]></r>", false},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"KOI8-R\"?><r/>", false},
      {"UTF-16 declared, UTF-8 given", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r/>", false},
      {"odd UTF-16 byte count", std::string("\xFF\xFE<\0r\0/\0>", 9), false},
      {"entity expansion blow-up", Laughs(), false},
      {"external entity", "<!DOCTYPE r [<!ENTITY e SYSTEM \"/etc/passwd\">]><r>&e;</r>", true},
      {"BOM and declaration", "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?><r/>", true},
      {"deep nesting", Nested(100000), true},
      {"huge attribute", "<r v=\"" + std::string(8 << 20, 'x') + "\"/>", true},
      {"many attributes", ManyAttributes(), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    xml::LoadBytes(kSlot, c.bytes);
    EXPECT_EQ(xml::IsLoaded(kSlot), c.loads);
    if (!c.loads) {
      EXPECT_NE(xml::ParseStatus(kSlot), 0);
      EXPECT_NE(xml::ErrorText(kSlot), Text());
      EXPECT_GE(xml::ErrorLine(kSlot), 1);
      EXPECT_GE(xml::ErrorCharacter(kSlot), 1);
      continue;
    }
    EXPECT_EQ(xml::ParseStatus(kSlot), 0);
    // Whatever loads saves as a document that loads again, as is and laid out.
    const std::string saved = xml::SaveToBytes(kSlot);
    xml::Relayout(kSlot);
    const std::string laidOut = xml::SaveToBytes(kSlot);
    for (const std::string* bytes : {&saved, &laidOut}) {
      xml::LoadBytes(kOtherSlot, *bytes);
      EXPECT_TRUE(xml::IsLoaded(kOtherSlot));
      EXPECT_EQ(xml::ChildCount(xml::RootElement(kOtherSlot)),
                xml::ChildCount(xml::RootElement(kSlot)));
    }
    xml::DeleteNode(xml::RootElement(kSlot));
    EXPECT_EQ(xml::RootElement(kSlot), nullptr);
  }
}

TEST_F(XmlSlot, ExternalEntitiesAreNotRead) {
  xml::LoadBytes(kSlot, "<!DOCTYPE r [<!ENTITY e SYSTEM \"/etc/passwd\">]><r>&e;</r>");
  ASSERT_TRUE(xml::IsLoaded(kSlot));
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r/>\r\n");
}

// ------------------------------------------------------------ editing

Text AttributeNames(const xml::XmlNode* node) {
  Text names;
  for (int i = 0; i < xml::AttributeCount(node); ++i) names += xml::AttributeName(node, i) + TXT(",");
  return names;
}

TEST_F(XmlSlot, AttributesKeepTheOrderSetAndReplacingKeepsThePosition) {
  xml::LoadBytes(kSlot, "<r b=\"12\" a=\"3\"/>");
  xml::XmlNode* r = xml::RootElement(kSlot);
  xml::SetAttribute(r, TXT("z"), TXT("1"));
  xml::SetAttribute(r, TXT("c"), TXT(""));
  xml::SetAttribute(r, TXT("m"), TXT("4"));
  xml::SetAttribute(r, TXT("n"), TXT("5"));  // beyond the first growth of the list
  EXPECT_EQ(AttributeNames(r), TXT("b,a,z,c,m,n,"));
  EXPECT_EQ(xml::AttributeName(r, 6), Text());
  EXPECT_EQ(xml::AttributeName(r, -1), Text());

  struct Case {
    Text name;
    Text value;
  };
  const Case replacements[] = {
      {TXT("b"), TXT("9")},          // shorter than before
      {TXT("a"), TXT("longer")},     // longer than before
      {TXT("c"), TXT("filled")},     // empty before
      {TXT("z"), TXT("")},           // emptied
  };
  for (const Case& c : replacements) xml::SetAttribute(r, c.name, c.value);
  EXPECT_EQ(AttributeNames(r), TXT("b,a,z,c,m,n,"));
  for (const Case& c : replacements) EXPECT_EQ(xml::GetAttribute(r, c.name), c.value);
  EXPECT_EQ(xml::GetAttribute(r, TXT("absent")), Text());

  xml::RemoveAttribute(r, TXT("a"));
  xml::RemoveAttribute(r, TXT("absent"));
  xml::RemoveAttribute(r, TXT("n"));
  EXPECT_EQ(AttributeNames(r), TXT("b,z,c,m,"));
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r b=\"9\" z=\"\" c=\"filled\" m=\"4\"/>\r\n");
}

TEST_F(XmlSlot, DeleteNodeRemovesTheSubtreeAndKeepsTheSiblingsLinked) {
  xml::LoadBytes(kSlot, "<r><a/><b><c><d/></c></b><e/></r>");
  xml::XmlNode* r = xml::RootElement(kSlot);
  xml::DeleteNode(xml::ChildByPosition(r, 2));
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r><a/><e/></r>\r\n");
  EXPECT_EQ(xml::NextSibling(xml::ChildByPosition(r, 1)), xml::ChildByPosition(r, 2));
  xml::DeleteNode(xml::ChildByPosition(r, 1));
  xml::DeleteNode(xml::ChildByPosition(r, 1));
  EXPECT_EQ(xml::ChildCount(r), 0);
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<r/>\r\n");

  // Nodes appended after deletions form a sound tree again.
  for (const Text name : {TXT("x"), TXT("y"), TXT("z")}) {
    xml::SetAttribute(xml::AppendElement(r, name), TXT("k"), name);
  }
  xml::AppendElement(xml::ChildByPosition(r, 2), TXT("w"));
  EXPECT_EQ(xml::SaveToBytes(kSlot),
            kDecl + "<r><x k=\"x\"/><y k=\"y\"><w/></y><z k=\"z\"/></r>\r\n");
  xml::DeleteNode(xml::DocumentNode(kSlot));
  EXPECT_TRUE(xml::IsLoaded(kSlot));
}

TEST_F(XmlSlot, CreatedDocumentTakesOneRoot) {
  xml::CreateDocument(kSlot);
  EXPECT_TRUE(xml::IsLoaded(kSlot));
  EXPECT_EQ(xml::RootElement(kSlot), nullptr);
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl);
  xml::XmlNode* root = xml::AppendElement(xml::DocumentNode(kSlot), TXT("orbvane_list"));
  EXPECT_EQ(xml::RootElement(kSlot), root);
  EXPECT_EQ(xml::Parent(root), xml::DocumentNode(kSlot));
  EXPECT_EQ(xml::AppendElement(xml::DocumentNode(kSlot), TXT("second")), nullptr);
  EXPECT_EQ(xml::AppendElement(root, TXT("")), nullptr);
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl + "<orbvane_list/>\r\n");
}

// ------------------------------------------------------------ layout

TEST_F(XmlSlot, RelayoutGivesOneNodePerLineIndentedByThree) {
  const std::string expected = kDecl +
                               "<root a=\"1\">\r\n"
                               "   <child x=\"y\"/>\r\n"
                               "   <child>\r\n"
                               "      <leaf/>\r\n"
                               "   </child>\r\n"
                               "</root>\r\n";
  // The same tree loaded with odd whitespace, loaded laid out, and built.
  xml::LoadBytes(kSlot, "<root a=\"1\">  <child x=\"y\"/>\n\t<child>\n <leaf/>   </child></root>");
  xml::Relayout(kSlot);
  EXPECT_EQ(xml::SaveToBytes(kSlot), expected);

  xml::LoadBytes(kSlot, expected);
  xml::Relayout(kSlot);
  EXPECT_EQ(xml::SaveToBytes(kSlot), expected);

  xml::CreateDocument(kSlot);
  xml::XmlNode* root = xml::AppendElement(xml::DocumentNode(kSlot), TXT("root"));
  xml::SetAttribute(root, TXT("a"), TXT("1"));
  xml::SetAttribute(xml::AppendElement(root, TXT("child")), TXT("x"), TXT("y"));
  xml::XmlNode* second = xml::AppendElement(root, TXT("child"));
  xml::Relayout(kSlot);
  xml::AppendElement(second, TXT("leaf"));  // added after Relayout, laid out as well
  EXPECT_EQ(xml::SaveToBytes(kSlot), expected);
}

TEST_F(XmlSlot, RelayoutPutsCommentsInstructionsAndCdataOnLinesAndKeepsText) {
  xml::LoadBytes(kSlot,
                 "<!--head--><r><!--c--> <?p d?><a>x &amp; <b/> y</a>\n<![CDATA[z]]><e><f/></e></r>");
  xml::Relayout(kSlot);
  EXPECT_EQ(xml::SaveToBytes(kSlot), kDecl +
                                         "<!--head-->\r\n"
                                         "<r>\r\n"
                                         "   <!--c-->\r\n"
                                         "   <?p d?>\r\n"
                                         "   <a>x &amp; <b/> y</a>\r\n"
                                         "   <![CDATA[z]]>\r\n"
                                         "   <e>\r\n"
                                         "      <f/>\r\n"
                                         "   </e>\r\n"
                                         "</r>\r\n");
}

TEST_F(XmlSlot, WithoutRelayoutTheTreeIsSavedAsHeld) {
  xml::LoadBytes(kSlot,
                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!--c-->\n<r>\n  <a/>"
                 "<![CDATA[x]]]]><![CDATA[>y]]>\r\n \xE9<?p?></r>");
  EXPECT_EQ(xml::SaveToBytes(kSlot),
            kDecl + "<!--c-->\r\n<r>\n  <a/><![CDATA[x]]]]><![CDATA[>y]]>\n \xC3\xA9<?p?></r>\r\n");
}

// ------------------------------------------------------------ saving files

TEST_F(XmlFiles, SaveFileWritesTheBytesAndTheyLoadBack) {
  xml::LoadBytes(kSlot, "<r><a v=\"&amp;\"/></r>");
  xml::Relayout(kSlot);
  ASSERT_TRUE(xml::SaveFile(kSlot, PathOf("out.xml")));
  EXPECT_EQ(Read("out.xml"), xml::SaveToBytes(kSlot));
  EXPECT_FALSE(fs::exists(dir_ / "out.xml.new"));
  xml::LoadFile(kOtherSlot, PathOf("out.xml"));
  EXPECT_EQ(xml::GetAttribute(xml::ChildByPosition(xml::RootElement(kOtherSlot), 1), TXT("v")),
            TXT("&"));
  xml::Relayout(kOtherSlot);
  EXPECT_EQ(xml::SaveToBytes(kOtherSlot), Read("out.xml"));
  xml::FreeSlot(kOtherSlot);
}

TEST_F(XmlFiles, FailedSaveReturnsFalseAndLeavesTheOldFileWhole) {
  const std::string old = "<old/>";
  Write("keep.xml", old);
  fs::create_directory(dir_ / "keep.xml.new");  // the file beside cannot be written
  xml::LoadBytes(kSlot, "<new/>");
  EXPECT_FALSE(xml::SaveFile(kSlot, PathOf("keep.xml")));
  EXPECT_EQ(Read("keep.xml"), old);
  EXPECT_FALSE(xml::SaveFile(kSlot, PathOf("no_such_folder/x.xml")));
  EXPECT_FALSE(fs::exists(dir_ / "no_such_folder"));
  xml::FreeSlot(kSlot);
  EXPECT_FALSE(xml::SaveFile(kSlot, PathOf("empty_slot.xml")));
  EXPECT_FALSE(fs::exists(dir_ / "empty_slot.xml"));
}

}  // namespace
