// The settings file: first run, loading into the lists, saving at exit.
#include "program_harness.h"

#include "common/files.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace {

constexpr int kCheckSlot = xml::kSlotCount - 1;

// The saved settings file, loaded for a look.
xml::XmlNode* SavedList(const char* listName) {
  xml::LoadFile(kCheckSlot, TXT("ovn_settings.xml"));
  for (xml::XmlNode* c = xml::ChildByPosition(xml::RootElement(kCheckSlot), 1); c; c = xml::NextSibling(c))
    if (xml::NameIs(c, listName)) return c;
  return nullptr;
}

std::string Attr(xml::XmlNode* node, const char* name) {
  return TextToUtf8(xml::GetAttribute(node, TextFromAscii(name)));
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
  void TearDown() override { xml::FreeSlot(kCheckSlot); }
  TempWorkFolder folder_;
};

TEST_F(SettingsTest, FirstRunWithRequesterCancelledUsesTheDefaultSatellites) {
  CopyFlagPictures();
  headless::QueueFileAnswer(Text());
  EXPECT_EQ(RunProgramSteps({[] {
              EXPECT_EQ(gui::CountItems(Gadgets.SatelliteList), 4);
              EXPECT_EQ(RowText("SatelliteList", 0), " 13.0E HOTBIRD 6,7A,8 - Europe, Middle East");
              EXPECT_EQ(RowText("SatelliteList", 3, 1), " - - - -");
              EXPECT_TRUE(Ticked("SatelliteList", 0));
              EXPECT_TRUE(Ticked("SatelliteList", 1));
              EXPECT_FALSE(Ticked("SatelliteList", 2));
              EXPECT_EQ(Shell.SelectedLanguage, 0);
              EXPECT_EQ(RowText("LanguageList", 0), "English");
              EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.LanguageNameText)), "English pages");
              EXPECT_NE(gui::GetState(Gadgets.LanguageFlagImage), 0);
              EXPECT_EQ(headless::PictureWidth(gui::GetState(Gadgets.LanguageFlagImage)), 32);
            }}),
            0);
  EXPECT_TRUE(MessageTitles().empty());

  const std::string saved = ReadBytes("ovn_settings.xml");
  EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_settings url=\"http://en.orbvane.example/freqs.php?&amp;pos=0.0\">\r\n   <language_list>\r\n      <language ", 0), 0u) << saved;
  EXPECT_NE(saved.find("\r\n   <bouquet_list/>\r\n</orbvane_settings>\r\n"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("\n\n"), std::string::npos);
  xml::XmlNode* sats = SavedList("satellite_list");
  ASSERT_NE(sats, nullptr);
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 1), "selected"), "yes");
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 2), "selected"), "yes");
  for (int n : {3, 4}) {
    EXPECT_EQ(Attr(xml::ChildByPosition(sats, n), "selected"), "");
    EXPECT_EQ(xml::AttributeCount(xml::ChildByPosition(sats, n)), 2) << "no selected attribute at all";
  }
  xml::XmlNode* root = xml::RootElement(kCheckSlot);
  EXPECT_TRUE(xml::NameIs(xml::ChildByPosition(root, xml::ChildCount(root)), "bouquet_list"));
}

TEST_F(SettingsTest, FirstRunFromTheRealDreamboxFile) {
  SKIP_WITHOUT_SHARED_FIXTURE(fixture);
  headless::QueueFileAnswer(FromFsPath(fixture));
  std::vector<std::string> rows;
  auto collect = [&] {
    rows.clear();
    for (int r = 0; r < gui::CountItems(Gadgets.SatelliteList); ++r) rows.push_back(RowText("SatelliteList", r));
  };
  EXPECT_EQ(RunProgramSteps({collect}), 0);
  ASSERT_EQ(rows.size(), 208u);
  // One row per sat element, in document order.
  xml::LoadFile(kCheckSlot, FromFsPath(fixture));
  size_t row = 0;
  for (xml::XmlNode* sat = xml::ChildByPosition(xml::RootElement(kCheckSlot), 1); sat;
       sat = xml::NextSibling(sat), ++row) {
    ASSERT_LT(row, rows.size());
    const std::string name = TextToUtf8(xml::GetAttribute(sat, TXT("name")));
    EXPECT_EQ(rows[row].substr(7), name) << row;
  }
  EXPECT_EQ(row, rows.size());
  auto has = [&](const std::string& prefix) {
    for (const std::string& r : rows)
      if (r.rfind(prefix, 0) == 0) return true;
    return false;
  };
  EXPECT_TRUE(has("177.1W ")) << "-1771 converted and right-aligned";
  EXPECT_TRUE(has("180.1E "));
  EXPECT_TRUE(has(" 19.2E "));
  EXPECT_TRUE(has("  5.0W ")) << "a two-blank right alignment";
  int ampersands = 0;
  for (const std::string& r : rows) ampersands += r.find('&') != std::string::npos;
  EXPECT_GE(ampersands, 1);

  // The names survive the save at exit and load again unchanged.
  const std::vector<std::string> firstRun = rows;
  headless::Reset();
  EXPECT_EQ(RunProgramSteps({collect}), 0);
  EXPECT_EQ(rows, firstRun);
}

TEST_F(SettingsTest, DreamboxTemplateConvertsPositionsAndEscapesNames) {
  WriteBytes("sats.xml",
             "<?xml version=\"1.0\"?>\n<satellites>\n"
             "<sat name=\"Thor &amp; Intelsat &lt;1W&gt; &quot;x&quot;\" position=\"-8\"><transponder/></sat>\n"
             "<!-- a comment -->\n<other name=\"skip\" position=\"1\"/>\n"
             "<sat name=\"Long\" position=\"  3560abc\"/>\n<sat name=\"NoPos\"/>\n</satellites>\n");
  headless::QueueFileAnswer(TXT("sats.xml"));
  EXPECT_EQ(RunProgramSteps({[] {
              ASSERT_EQ(gui::CountItems(Gadgets.SatelliteList), 3);
              EXPECT_EQ(RowText("SatelliteList", 0), "  0.8W Thor & Intelsat <1W> \"x\"");
              EXPECT_EQ(RowText("SatelliteList", 1), "356.0E Long");
              EXPECT_EQ(RowText("SatelliteList", 2), "  0.0E NoPos");
              EXPECT_FALSE(Ticked("SatelliteList", 0));
            }}),
            0);
}

TEST_F(SettingsTest, PositionConversionAndRowTexts) {
  const std::pair<const char*, const char*> positions[] = {
      {"192", "19.2E"}, {"-50", "5.0W"}, {"0", "0.0E"}, {"3560", "356.0E"}, {"-1771", "177.1W"},
      {"\t +7", "0.7E"}, {"abc", "0.0E"}, {"-0", "0.0E"}, {"", "0.0E"}};
  for (const auto& [in, out] : positions)
    EXPECT_EQ(TextToUtf8(ConvertDreamboxPosition(TextFromAscii(in))), out) << in;
  EXPECT_EQ(SatelliteRowText(TXT("5.0W"), TXT("X")), TXT("  5.0W X"));
  EXPECT_EQ(SatelliteRowText(TXT("1234.5678E"), TXT("X")), TXT("1234.5 X"));
  EXPECT_EQ(TrdfText(true, true, false, false), TXT(" t r - -"));
  EXPECT_EQ(TrdfText(false, false, true, true), TXT(" - - d f"));
}

TEST_F(SettingsTest, BadDreamboxFilesEndTheProgramWithoutSettings) {
  WriteBytes("sats.XML", "<satellites/>");
  WriteBytes("broken.xml", "<satellites>\n<sat name=\"a\"\n</satellites>\n");
  WriteBytes("other.xml", "<transponders/>");
  struct Case {
    const Char* path;
    const char* title;
  };
  const Case cases[] = {{TXT("sats.XML"), "Not an xml file !!"},
                        {TXT("broken.xml"), "XML Error broken.xml"},
                        {TXT("other.xml"), nullptr}};
  for (const Case& c : cases) {
    headless::Reset();
    headless::QueueFileAnswer(c.path);
    try {
      RunProgram();
    } catch (const headless::ProgramExit& exit) {
      EXPECT_EQ(exit.code, 0);
    }
    EXPECT_FALSE(fs::exists("ovn_settings.xml")) << TextToUtf8(c.path);
    const std::vector<std::string> titles = MessageTitles();
    if (c.title) {
      ASSERT_EQ(titles.size(), 1u) << TextToUtf8(c.path);
      EXPECT_EQ(titles[0], c.title);
    } else {
      EXPECT_TRUE(titles.empty());
      EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.VersionText)), "FAILED, loading other.xml");
    }
  }
}

TEST_F(SettingsTest, BrokenSettingsFileEndsTheProgramAndStaysAsItWas) {
  const std::string broken = "<orbvane_settings>\r\n  <satellite_list>\r\n  </satelite_list>\r\n";
  WriteBytes("ovn_settings.xml", broken);
  try {
    RunProgram();
  } catch (const headless::ProgramExit& exit) {
    EXPECT_EQ(exit.code, 0);
  }
  ASSERT_EQ(headless::DialogLog().size(), 1u);
  EXPECT_EQ(headless::DialogLog()[0].title, TXT("XML Error ovn_settings.xml"));
  const std::string text = TextToUtf8(headless::DialogLog()[0].text);
  EXPECT_NE(text.find("Line: 3"), std::string::npos) << text;
  EXPECT_NE(text.find("\r  </satelite_list>"), std::string::npos) << text;
  EXPECT_EQ(ReadBytes("ovn_settings.xml"), broken);
}

// Languages and satellites with elements that get no row in between.
const char* kMixedSettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<orbvane_settings url=\"http://en.example.test/freqs.php?&amp;pos=0.0\">\n"
    " <satellite_list>\n"
    "  <satellite name=\"A\" position=\"1.0E\" selected=\"yes\"/>\n"
    "  <note text=\"not a satellite\"/>\n"
    "  <satellite name=\"B\" position=\"2.0E\" tv=\"yes\" selected=\"no\"/>\n"
    " </satellite_list>\n"
    " <bouquet_list><bouquet list=\"country\" name=\"Old\" selected=\"yes\"/></bouquet_list>\n"
    " <language_list>\n"
    "  <language name=\"English\" pad=\"en\" img=\"en.png\"/>\n"
    "  <language name=\"Missing\" pad=\"xx\" img=\"xx.png\"/>\n"
    "  <language name=\"Deutsch\" pad=\"de\" img=\"de.png\" selected=\"yes\"/>\n"
    " </language_list>\n"
    " <extra keep=\"1\"/>\n"
    "</orbvane_settings>\n";

TEST_F(SettingsTest, RowsStayPairedWithTheirOwnElements) {
  CopyFlagPictures();
  WriteBytes("ovn_settings.xml", kMixedSettings);
  EXPECT_EQ(RunProgramSteps({[] {
              EXPECT_EQ(Shell.SatelliteListPosition, 1);
              EXPECT_EQ(Shell.BouquetListPosition, 2);
              EXPECT_EQ(Shell.LanguageListPosition, 3);
              ASSERT_EQ(gui::CountItems(Gadgets.SatelliteList), 2);
              EXPECT_EQ(RowText("SatelliteList", 1), "  2.0E B");
              EXPECT_EQ(RowText("SatelliteList", 1, 1), " t - - -");
              EXPECT_FALSE(Ticked("SatelliteList", 1));
              ASSERT_EQ(gui::CountItems(Gadgets.LanguageList), 2);
              EXPECT_EQ(RowText("LanguageList", 1), "Deutsch");
              EXPECT_EQ(Shell.SelectedLanguage, 1);
              EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.LanguageNameText)), "Deutsch pages");
              headless::UserTick(Gadgets.SatelliteList, 1, true);
              headless::UserTick(Gadgets.SatelliteList, 0, false);
            }}),
            0);
  ASSERT_EQ(MessageTitles().size(), 1u);
  const headless::DialogRecord& box = headless::DialogLog()[0];
  EXPECT_EQ(box.title, TXT("File not found!!"));
  EXPECT_EQ(TextToUtf8(box.text),
            "We are sorry for the inconveniency but\rinsist you provide the correct file and not:\r" +
                TextToUtf8(FromFsPath(fs::current_path())) + "/ovn_work/xx.png");

  xml::XmlNode* sats = SavedList("satellite_list");
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 1), "selected"), "");
  EXPECT_TRUE(xml::NameIs(xml::ChildByPosition(sats, 2), "note"));
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 2), "selected"), "") << "the foreign element is untouched";
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 3), "selected"), "yes");
  EXPECT_EQ(Attr(xml::ChildByPosition(sats, 3), "tv"), "yes");
  // The old bouquet_list is gone, a new empty one is the root's last child,
  // and unknown elements are kept.
  xml::XmlNode* root = xml::RootElement(kCheckSlot);
  int bouquetLists = 0;
  for (xml::XmlNode* c = xml::ChildByPosition(root, 1); c; c = xml::NextSibling(c))
    bouquetLists += xml::NameIs(c, "bouquet_list");
  EXPECT_EQ(bouquetLists, 1);
  xml::XmlNode* last = xml::ChildByPosition(root, xml::ChildCount(root));
  EXPECT_TRUE(xml::NameIs(last, "bouquet_list"));
  EXPECT_EQ(xml::ChildCount(last), 0);
  EXPECT_TRUE(xml::NameIs(xml::ChildByPosition(root, 3), "extra"));
}

TEST_F(SettingsTest, TickedFilterRowsAreRememberedHighlightedOrNot) {
  CopyFlagPictures();
  WriteBytes("ovn_settings.xml", kMixedSettings);
  RunProgramSteps({[] {
    gui::AddItem(Gadgets.CountryList, -1, TXT("France"));
    gui::AddItem(Gadgets.CountryList, -1, TXT("Italy"));
    gui::AddItem(Gadgets.GenreList, -1, TXT("News"));
    gui::AddItem(Gadgets.LanguageFilterList, -1, TXT("deu"));
    gui::SetItemState(Gadgets.CountryList, 1, gui::kItemTicked | gui::kItemHighlighted);
    gui::SetItemState(Gadgets.GenreList, 0, gui::kItemTicked);
    gui::SetItemState(Gadgets.LanguageFilterList, 0, gui::kItemHighlighted);
  }});
  xml::XmlNode* list = SavedList("bouquet_list");
  ASSERT_EQ(xml::ChildCount(list), 2);
  xml::XmlNode* first = xml::ChildByPosition(list, 1);
  EXPECT_EQ(Attr(first, "list"), "country");
  EXPECT_EQ(Attr(first, "name"), "Italy");
  EXPECT_EQ(Attr(first, "selected"), "yes");
  EXPECT_EQ(TextToUtf8(xml::AttributeName(first, 0)), "list");
  EXPECT_EQ(TextToUtf8(xml::AttributeName(first, 2)), "selected");
  EXPECT_EQ(Attr(xml::ChildByPosition(list, 2), "list"), "genre");
}

TEST_F(SettingsTest, SaveThatCannotReplaceTheFileLeavesTheOldOneWhole) {
  CopyFlagPictures();
  headless::QueueFileAnswer(Text());
  RunProgramSteps({});
  const std::string before = ReadBytes("ovn_settings.xml");
  ASSERT_FALSE(before.empty());
  headless::Reset();
  RunProgramSteps({[] {
    headless::UserTick(Gadgets.SatelliteList, 3, true);
    // The file cannot be written beside the settings (running as root, a
    // read-only folder would not stop it, so the temporary name is taken).
    fs::create_directory("ovn_settings.xml.new");
    fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
  }});
  fs::permissions(".", fs::perms::owner_all);
  EXPECT_EQ(ReadBytes("ovn_settings.xml"), before);
}

}  // namespace
