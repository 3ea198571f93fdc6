// The satellites tab: the TRDF window, the language choice and ticking rows.
#include "program_harness.h"

#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/satellites_tab.h"
#include "shell/settings.h"

namespace {

std::string Attr(xml::XmlNode* node, const char* name) {
  return TextToUtf8(xml::GetAttribute(node, TextFromAscii(name)));
}

std::string SavedSettings() { return ReadBytes("ovn_settings.xml"); }

class SatellitesTabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    CopyFlagPictures();
    headless::QueueFileAnswer(Text());  // first run: the four default satellites
  }
  TempWorkFolder folder_;
};

TEST_F(SatellitesTabTest, TrdfWindowAppliesItsChoicesToTheRowWhenClosed) {
  RunProgramSteps({
      [] { headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 2); },
      [] {
        ASSERT_NE(Shell.TrdfWindow, 0);
        EXPECT_EQ(headless::WindowTitle(Shell.TrdfWindow), TXT("23.5E"));
        EXPECT_EQ(gui::GetState(Trdf.TvKindCheck), 0);
        headless::UserClick(G("TvKindCheck"), gui::kLeftClick);
      },
      [] { headless::UserClick(G("FeedKindCheck"), gui::kLeftClick); },
      // A second double click while the window is open changes nothing.
      [] { headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 0); },
      [] {
        EXPECT_EQ(headless::WindowTitle(Shell.TrdfWindow), TXT("23.5E"));
        headless::UserClose(Shell.TrdfWindow);
      },
      [] {
        EXPECT_EQ(Shell.TrdfWindow, 0);
        EXPECT_EQ(headless::FindWindow("TrdfWindow"), 0);
        EXPECT_EQ(RowText("SatelliteList", 2, 1), " t - - f");
        EXPECT_EQ(RowText("SatelliteList", 0, 1), " - - - -");
        xml::XmlNode* sat = SatelliteOfRow(2);
        EXPECT_EQ(Attr(sat, "tv"), "yes");
        EXPECT_EQ(Attr(sat, "feed"), "yes");
        EXPECT_EQ(Attr(sat, "radio"), "");
      },
  });
  EXPECT_NE(SavedSettings().find("name=\"ASTRA 1E,3A - Europe\" position=\"23.5E\" tv=\"yes\" feed=\"yes\"/>"),
            std::string::npos)
      << SavedSettings();
}

TEST_F(SatellitesTabTest, ApplyToAllTicksOnlyTheTickedRows) {
  RunProgramSteps({
      [] { headless::UserClick(Gadgets.ApplyTrdfAllCheck, gui::kLeftClick); },
      [] { headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 3); },  // unticked row
      [] { headless::UserClick(G("RadioKindCheck"), gui::kLeftClick); },
      [] { headless::UserClose(Shell.TrdfWindow); },
      [] {
        EXPECT_EQ(RowText("SatelliteList", 0, 1), " - r - -");
        EXPECT_EQ(RowText("SatelliteList", 1, 1), " - r - -");
        EXPECT_EQ(RowText("SatelliteList", 2, 1), " - - - -");
        EXPECT_EQ(RowText("SatelliteList", 3, 1), " - - - -") << "the row that opened it is unticked";
        // Without ticked rows nothing changes.
        for (int row = 0; row < 4; ++row) headless::UserTick(Gadgets.SatelliteList, row, false);
        headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 0);
      },
      [] { headless::UserClick(G("DataKindCheck"), gui::kLeftClick); },
      [] { headless::UserClose(Shell.TrdfWindow); },
      [] {
        for (int row = 0; row < 4; ++row)
          EXPECT_EQ(RowText("SatelliteList", row, 1).find('d'), std::string::npos) << row;
      },
  });
}

TEST_F(SatellitesTabTest, ClosingTheMainWindowFirstDropsTheTrdfChoices) {
  RunProgramSteps({
      [] { headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 0); },
      [] { headless::UserClick(G("TvKindCheck"), gui::kLeftClick); },
  });
  EXPECT_EQ(SavedSettings().find("tv="), std::string::npos);
  EXPECT_NE(SavedSettings().find("position=\"13.0E\" selected=\"yes\"/>"), std::string::npos);
}

TEST_F(SatellitesTabTest, UntickingEveryKindRemovesEveryAttribute) {
  RunProgramSteps({
      [] {
        xml::XmlNode* sat = SatelliteOfRow(1);
        for (const char* kind : {"tv", "radio", "data", "feed"})
          xml::SetAttribute(sat, TextFromAscii(kind), TXT("yes"));
        headless::UserClick(Gadgets.SatelliteList, gui::kLeftDoubleClick, 1);
      },
      [] {
        for (const char* name : {"TvKindCheck", "RadioKindCheck", "DataKindCheck", "FeedKindCheck"}) {
          EXPECT_EQ(gui::GetState(G(name)), 1) << name;
          gui::SetState(G(name), 0);
        }
        headless::UserClose(Shell.TrdfWindow);
      },
      [] {
        EXPECT_EQ(RowText("SatelliteList", 1, 1), " - - - -");
        EXPECT_EQ(xml::AttributeCount(SatelliteOfRow(1)), 3);  // name, position, selected
      },
  });
}

TEST_F(SatellitesTabTest, LanguageSelectionMovesTheSelectedAttribute) {
  WriteBytes("ovn_settings.xml",
             "<orbvane_settings url=\"\">\n<language_list>\n"
             "<language name=\"English\" pad=\"en\" img=\"en.png\" selected=\"yes\"/>\n"
             "<language name=\"Deutsch\" pad=\"de\" img=\"de.png\"/>\n"
             "</language_list>\n<satellite_list/>\n</orbvane_settings>\n");
  headless::Reset();  // a settings file exists: no first-run question
  RunProgramSteps({
      [] { headless::UserClick(Gadgets.LanguageList, gui::kLeftClick, 1); },
      [] {
        EXPECT_EQ(Shell.SelectedLanguage, 1);
        EXPECT_EQ(TextToUtf8(gui::GetText(Gadgets.LanguageNameText)), "Deutsch pages");
        EXPECT_EQ(gui::GetState(Gadgets.LanguageFlagImage), headless::ItemPicture(Gadgets.LanguageList, 1));
        EXPECT_EQ(Attr(LanguageOfRow(0), "selected"), "");
        EXPECT_EQ(Attr(LanguageOfRow(1), "selected"), "yes");
        // Clicking empty space (no current row) changes nothing.
        headless::UserHighlight(Gadgets.LanguageList, {});
        headless::UserClick(Gadgets.LanguageList, gui::kLeftClick);
      },
      [] {
        EXPECT_EQ(Shell.SelectedLanguage, 1);
        headless::UserClick(Gadgets.LanguageList, gui::kLeftClick, 1);  // already selected
      },
  });
  const std::string saved = SavedSettings();
  EXPECT_NE(saved.find("<language name=\"English\" pad=\"en\" img=\"en.png\"/>"), std::string::npos) << saved;
  EXPECT_NE(saved.find("<language name=\"Deutsch\" pad=\"de\" img=\"de.png\" selected=\"yes\"/>"),
            std::string::npos)
      << saved;
}

TEST_F(SatellitesTabTest, SelectAndDeselectAllFollowTheHighlight) {
  RunProgramSteps({
      [] {
        headless::UserHighlight(Gadgets.SatelliteList, {2, 3});
        headless::UserClick(Gadgets.SelectAllSatellitesButton, gui::kLeftClick);
      },
      [] {
        for (int row = 0; row < 4; ++row) {
          EXPECT_TRUE(Ticked("SatelliteList", row)) << row;
          EXPECT_EQ(gui::GetItemState(Gadgets.SatelliteList, row) & gui::kItemHighlighted, 0) << row;
        }
        headless::UserHighlight(Gadgets.SatelliteList, {1});
        headless::UserClick(Gadgets.DeselectAllSatellitesButton, gui::kLeftClick);
      },
      [] {
        EXPECT_FALSE(Ticked("SatelliteList", 1));
        EXPECT_TRUE(Ticked("SatelliteList", 0));
        headless::UserClick(Gadgets.DeselectAllSatellitesButton, gui::kLeftClick);  // none highlighted
      },
      [] {
        for (int row = 0; row < 4; ++row) EXPECT_FALSE(Ticked("SatelliteList", row)) << row;
      },
  });
  EXPECT_EQ(SavedSettings().find("selected=\"yes\"/>\r\n      <satellite"), std::string::npos);
}

TEST_F(SatellitesTabTest, OptionFlagsFollowTheirCheckBoxes) {
  RunProgramSteps({
      [] { headless::UserClick(Gadgets.DiscardHiddenCheck, gui::kLeftClick); },
      [] { headless::UserClick(Gadgets.TranspondersOnlyCheck, gui::kLeftClick); },
      [] {
        EXPECT_TRUE(Shell.DiscardHiddenFlag);
        EXPECT_TRUE(Shell.TranspondersOnlyFlag);
        EXPECT_FALSE(Shell.ReuseDownloadsFlag);
        headless::UserClick(Gadgets.DiscardHiddenCheck, gui::kLeftClick);
      },
      [] { EXPECT_FALSE(Shell.DiscardHiddenFlag); },
  });
}

}  // namespace
