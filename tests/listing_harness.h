// Helpers for the tests of the download and conversion: a fresh program state
// with the main window built, pages reduced and parsed into DownloadDoc.
#pragma once

#include "listing_page_builder.h"
#include "program_harness.h"

#include "common/encoding.h"
#include "listing/htmllib.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/xml_defs.h"

inline Text U(const std::string& utf8) { return Utf8ToText(utf8); }
inline std::string S8(const Text& text) { return TextToUtf8(text); }

// The same text in both builds, or what the 8-bit build makes of characters
// beyond ISO-8859-1.
#ifdef OVN_UNICODE
#define WIDE_OR_NARROW(wide, narrow) std::string(wide)
#else
#define WIDE_OR_NARROW(wide, narrow) std::string(narrow)
#endif

class ListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Reset();
    ResetProgramState();
    BuildMainWindow();
    fs::create_directories("ovn_work");
    NewDownloadDoc();
  }
  void TearDown() override { ResetDocuments(); }

  // Reduces and parses a page as one satellite's page.
  void Parse(const std::string& page, const char* name = "SAT") {
    WriteBytes("ovn_work/page.html", page);
    ReducePage(TXT("ovn_work/page.html"), TXT("ovn_work/page.txt"));
    ParseReducedFile(TXT("ovn_work/page.txt"), TextFromAscii(name), TXT("13.0E"), TXT("url"));
  }

  // The lines of the reduced file a page gives.
  std::vector<std::string> Reduce(const std::string& page) {
    WriteBytes("ovn_work/page.html", page);
    ReducePage(TXT("ovn_work/page.html"), TXT("ovn_work/page.txt"));
    std::vector<std::string> lines;
    std::istringstream in(ReadBytes("ovn_work/page.txt"));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  // DownloadDoc as the data file would hold it.
  std::string Saved() {
    xml::Relayout(DownloadDoc);
    return xml::SaveToBytes(DownloadDoc);
  }

  xml::XmlNode* Satellite(int n = 1) { return xml::ChildByPosition(xml::RootElement(DownloadDoc), n); }
  xml::XmlNode* Transponder(int n = 1, int sat = 1) { return xml::ChildByPosition(Satellite(sat), n); }
  xml::XmlNode* Service(int n = 1, int tp = 1) { return xml::ChildByPosition(Transponder(tp), n); }

  static std::string Attr(const xml::XmlNode* node, const char* name) {
    return S8(xml::GetAttribute(node, TextFromAscii(name)));
  }

  TempWorkFolder folder_;
};

inline page_builder::ServiceRow TvRow(const std::string& name, const std::string& sid) {
  page_builder::ServiceRow r;
  r.name = name;
  r.sid = sid;
  r.country = "Germany";
  r.genre = "General";
  r.providers = {"ARD"};
  r.video = "5101";
  r.audio = {{"5102", "Deutsch", "deu", false}};
  r.pmt = "100";
  return r;
}
