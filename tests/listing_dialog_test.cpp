// The question about two services with one service id in a transponder.
#include "listing_harness.h"

namespace {

class DoubleIdentTest : public ListingTest {
 protected:
  void SetUp() override {
    ListingTest::SetUp();
    ASSERT_TRUE(AddSatellite(TXT("HOTBIRD"), TXT("13.0E"), TXT("url")));
    AddHeader("10719 V");
  }

  void AddHeader(const char* frequencyAndPolarization) {
    Listing.WorkText = TXT("HOTBIRD (13.0E) - ") + TextFromAscii(frequencyAndPolarization) +
                       TXT(" - Txp: 1 - Beam: W DVB-S2 (8PSK) - 27500 3/4 (x) - NID:1 - TID:2");
    ASSERT_EQ(AddTransponder(), TransponderResult::Created);
  }

  // kind, name, country, sid, pmt
  void Add(const char* kind, const char* name, const char* country, const char* sid, const char* pmt) {
    Listing.ServiceFields.fill(Text());
    Listing.ServiceFields[0] = TextFromAscii(kind);
    Listing.ServiceFields[1] = TextFromAscii(name);
    Listing.ServiceFields[2] = TextFromAscii(country);
    Listing.ServiceFields[6] = TextFromAscii(sid);
    Listing.ServiceFields[9] = TextFromAscii(pmt);
    AddService();
  }

  // "name/country/pmt" of every service of the transponder.
  std::vector<std::string> Services(int tp = 1) {
    std::vector<std::string> out;
    for (xml::XmlNode* s = xml::ChildByPosition(Transponder(tp), 1); s; s = xml::NextSibling(s))
      out.push_back(Attr(s, "name") + "/" + Attr(s, "country") + "/" + Attr(s, "pmt"));
    return out;
  }
};

TEST_F(DoubleIdentTest, EachButtonDecidesWhatIsStored) {
  struct Case {
    const char* button;
    std::vector<std::string> services;
    int tvCount;
  };
  const Case cases[] = {
      {"KeepFirstButton", {"A/Germany/100"}, 1},
      {"KeepSecondButton", {"B/Italy/100"}, 2},
      {"KeepBothButton", {"A/Germany/100", "B/Italy/"}, 2},
      {"MergeOneIntoTwoButton", {"B/A/Italy/100"}, 2},
      {"MergeTwoIntoOneButton", {"A/B/Germany/100"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    NewDownloadDoc();
    Listing.TvCount = 0;
    ASSERT_TRUE(AddSatellite(TXT("HOTBIRD"), TXT("13.0E"), TXT("url")));
    AddHeader("10719 V");
    Add("tv", "A", "Germany", "1", "100");
    headless::QueueDialogAnswer(c.button);
    Add("tv", "B", "Italy", "1", "");
    EXPECT_EQ(Services(), c.services);
    EXPECT_EQ(Listing.TvCount, c.tvCount);
    EXPECT_EQ(Shell.DoubleIdentDialog, 0);
    EXPECT_EQ(headless::FindWindow("DoubleIdentDialog"), 0);
  }
  EXPECT_TRUE(headless::UnusedAnswers().empty());
}

TEST_F(DoubleIdentTest, DialogShowsBothServicesAndConsumesEveryOtherEvent) {
  std::vector<std::string> shown;
  headless::SetDialogHook([&](const headless::DialogRecord& record) {
    if (record.kind != "dialog") return;
    const int dialog = headless::FindWindow("DoubleIdentDialog");
    EXPECT_EQ(dialog, Shell.DoubleIdentDialog);
    EXPECT_EQ(S8(headless::WindowTitle(dialog)), "Double service ident within transponder");
    EXPECT_EQ(gui::WindowX(dialog), gui::WindowX(Gadgets.MainWindow));
    EXPECT_EQ(gui::WindowY(dialog), gui::WindowY(Gadgets.MainWindow));
    EXPECT_TRUE(headless::IsDefaultButton(headless::FindGadget("MergeOneIntoTwoButton")));
    EXPECT_FALSE(headless::IsDefaultButton(headless::FindGadget("KeepBothButton")));
    std::string texts;
    for (const char* name : {"SatelliteText", "TransponderText", "IdentText", "Service1Text", "Service2Text"})
      texts += S8(gui::GetText(headless::FindGadget(name))) + "|";
    shown.push_back(texts + record.answer);
  });
  Add("tv", "A", "Germany", "7", "100");
  Add("tv", "B", "Germany", "8", "");
  // Clicks on the main window and its close box go to the dialog's loop and
  // are dropped; so is a click on a text of the dialog.
  headless::UserClose(Gadgets.MainWindow);
  headless::UserClick(Gadgets.DownloadButton, gui::kLeftClick);
  headless::QueueDialogAnswer("Service1Text");
  headless::QueueDialogAnswer("KeepBothButton");
  Add("tv", "C", "Germany", "7", "");
  EXPECT_EQ(headless::PendingEvents(), 0u);
  // A third row with the id asks about the first service again.
  headless::QueueDialogAnswer("KeepFirstButton");
  Add("tv", "D", "Germany", "7", "");
  EXPECT_EQ(shown, (std::vector<std::string>{"HOTBIRD|10719V|7|A|C|Service1Text",
                                             "HOTBIRD|10719V|7|A|C|KeepBothButton",
                                             "HOTBIRD|10719V|7|A|D|KeepFirstButton"}));
  EXPECT_EQ(Services(), (std::vector<std::string>{"A/Germany/100", "B/Germany/", "C/Germany/"}));
  EXPECT_TRUE(MessageTitles().empty());
}

TEST_F(DoubleIdentTest, SameIdOnAnotherTransponderOrUntickedCheckAsksNothing) {
  Add("tv", "A", "Germany", "1", "");
  AddHeader("11034 H");
  Add("tv", "B", "Germany", "1", "");
  EXPECT_EQ(Services(2), (std::vector<std::string>{"B/Germany/"}));
  // Unticked: both services are kept.
  headless::UserClick(Gadgets.DoubleIdentCheck, gui::kLeftClick);
  ASSERT_EQ(gui::GetState(Gadgets.DoubleIdentCheck), 0);
  Add("tv", "C", "Germany", "1", "");
  EXPECT_EQ(Services(2), (std::vector<std::string>{"B/Germany/", "C/Germany/"}));
  EXPECT_TRUE(headless::DialogLog().empty());
}

TEST_F(DoubleIdentTest, KindFilterStillAppliesAfterTheChoice) {
  Add("tv", "A", "Germany", "1", "100");
  Listing.SkipRadio = true;
  headless::QueueDialogAnswer("KeepSecondButton");
  Add("radio", "B", "Italy", "1", "");
  EXPECT_EQ(Services(), (std::vector<std::string>{"A/Germany/100"}));
  EXPECT_EQ(Listing.RadioCount, 0);
}

}  // namespace
