// Loading XML files with the root-name check and the error reports, and the
// set of data and list files.
#include "program_harness.h"

#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/xml_defs.h"

namespace {

class XmlLoadingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ResetProgramState();
    BuildMainWindow();
  }
  std::string Version() { return TextToUtf8(gui::GetText(Gadgets.VersionText)); }
  TempWorkFolder folder_;
};

TEST_F(XmlLoadingTest, CapitalExtensionIsRefusedWithoutReadingTheFile) {
  WriteBytes("good.XML", "<satellites/>");
  EXPECT_FALSE(LoadXmlFile(DataDoc, TXT("good.XML"), "satellites"));
  ASSERT_EQ(headless::DialogLog().size(), 1u);
  EXPECT_EQ(headless::DialogLog()[0].title, TXT("Not an xml file !!"));
  EXPECT_EQ(headless::DialogLog()[0].text,
            TXT("We are sorry for the inconveniency but\rinsist you provide the correct file and "
                "not:\rgood.XML"));
  EXPECT_FALSE(xml::IsLoaded(DataDoc));
}

TEST_F(XmlLoadingTest, ParseErrorShowsLineCharacterAndTheLineText) {
  WriteBytes("broken.xml", "<a>\r\n  <b/>\r\n  <c x=1/>\r\n</a>\r\n");
  EXPECT_FALSE(LoadXmlFile(DataDoc, TXT("broken.xml"), "a"));
  ASSERT_EQ(headless::DialogLog().size(), 1u);
  const headless::DialogRecord& box = headless::DialogLog()[0];
  EXPECT_EQ(box.title, TXT("XML Error broken.xml"));
  const std::string text = TextToUtf8(box.text);
  EXPECT_EQ(text.rfind("Error in the XML file:broken.xml\rMessage: ", 0), 0u) << text;
  EXPECT_NE(text.find("\rLine: 3   Character: 8\r  <c x=1/>"), std::string::npos) << text;
  EXPECT_EQ(Version(), "Failed to XML load file broken.xml !!!");
  EXPECT_FALSE(xml::IsLoaded(DataDoc));
}

TEST_F(XmlLoadingTest, RootNameDecidesAndAFailureEmptiesTheDocument) {
  WriteBytes("one.xml", "<orbvane_list><satellite/></orbvane_list>");
  WriteBytes("other.xml", "<country_list/>");
  WriteBytes("empty.xml", "");
  EXPECT_TRUE(LoadXmlFile(DataDoc, TXT("one.xml"), "orbvane_list"));
  EXPECT_EQ(Version(), "Loaded one.xml");
  EXPECT_FALSE(LoadXmlFile(DataDoc, TXT("other.xml"), "orbvane_list"));
  EXPECT_EQ(Version(), "FAILED, loading other.xml");
  EXPECT_FALSE(xml::IsLoaded(DataDoc));
  for (const Char* path : {TXT("empty.xml"), TXT("missing.xml")}) {
    EXPECT_FALSE(LoadXmlFile(DataDoc, path, "orbvane_list"));
    EXPECT_EQ(Version(), "FAILED, loading " + TextToUtf8(path));
  }
  EXPECT_TRUE(headless::DialogLog().empty());
}

TEST_F(XmlLoadingTest, ListFilesLoadInOrderAndStopAtTheFirstFailure) {
  const Text folder = Utf8ToText(fs::current_path().string()) + TXT("/");
  WriteBytes("orbvane.xml", "<orbvane_list/>");
  WriteBytes("genre.xml", "<country_list/>");  // wrong root
  WriteBytes("country.xml", "<country_list/>");
  WriteBytes("provider.xml", "<provider_list/>");
  WriteBytes("language.xml", "<language_list/>");
  EXPECT_EQ(LoadListFiles(folder), 0);
  EXPECT_EQ(gui::GetText(Gadgets.VersionText), TXT("FAILED loading ") + folder + TXT("genre.xml"));
  EXPECT_TRUE(xml::IsLoaded(DataDoc));
  EXPECT_FALSE(xml::IsLoaded(CountryDoc));

  WriteBytes("genre.xml", "<genre_list/>");
  EXPECT_EQ(LoadListFiles(folder), 1);
  EXPECT_EQ(gui::GetText(Gadgets.VersionText), TXT("Loaded ") + folder + TXT("language.xml"));

  gui::AddItem(Gadgets.GenreList, -1, TXT("News"));
  gui::AddItem(Gadgets.CountryList, -1, TXT("France"));
  FreeListFiles();
  for (int doc : {DataDoc, GenreDoc, CountryDoc, ProviderDoc, LanguageDoc})
    EXPECT_FALSE(xml::IsLoaded(doc));
  EXPECT_EQ(gui::CountItems(Gadgets.GenreList), 0);
  EXPECT_EQ(gui::CountItems(Gadgets.CountryList), 0);

  // With nothing loaded the filter lists stay as they are.
  gui::AddItem(Gadgets.ProviderList, -1, TXT("ARD"));
  FreeListFiles();
  EXPECT_EQ(gui::CountItems(Gadgets.ProviderList), 1);
}

TEST_F(XmlLoadingTest, ReadFileLineTakesAnyLineEnd) {
  WriteBytes("lines.txt", "one\r\ntwo\nthree\rfour");
  const std::pair<int, const char*> cases[] = {{0, ""}, {1, "one"}, {2, "two"}, {3, "three"},
                                               {4, "four"}, {5, ""}, {-1, ""}};
  for (const auto& [n, wanted] : cases)
    EXPECT_EQ(TextToUtf8(ReadFileLine(TXT("lines.txt"), n)), wanted) << n;
  EXPECT_EQ(ReadFileLine(TXT("missing.txt"), 1), Text());
}

}  // namespace
