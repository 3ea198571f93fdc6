// Scenarios that download from the local listing site (listing_server.h):
// the settings file that points the program at the server, the steps of one
// download, and expected files kept per build where the two builds write
// different bytes.
#pragma once

#include "listing_server.h"
#include "program_harness.h"

#include <algorithm>
#include <string>
#include <vector>

namespace listing_site {

// Where a build keeps the expected files that only it writes.
#ifdef OVN_UNICODE
inline const char* const kBuildFolder = "utf16";
#else
inline const char* const kBuildFolder = "8bit";
#endif

// The address of the server stands in expected files as this text.
inline const char* const kSitePlaceholder = "@SITE@";

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The expected bytes of file `name` of folder `dir`: the build's own copy
// when there is one, else the common one, with the server's address put in.
inline std::string ExpectedBytes(const fs::path& dir, const std::string& name,
                                 const listing_test::ListingServer& server) {
  fs::path path = dir / kBuildFolder / name;
  if (!fs::exists(path)) path = dir / name;
  EXPECT_TRUE(fs::exists(path)) << "no expected file " << path;
  return ReplaceAll(ReadBytes(path), kSitePlaceholder, server.BaseUrl());
}

// The names in a folder, sorted.
inline std::vector<std::string> FileNames(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Satellite rows of the settings file. HOTBIRD 13B keeps every kind of
// service; ASTRA 1KR only tv and radio.
inline const char* const kHotbird =
    "    <satellite name=\"HOTBIRD 13B\" position=\"13.0E\" selected=\"yes\" tv=\"yes\" radio=\"yes\" "
    "data=\"yes\" feed=\"yes\"/>\r\n";
inline const char* const kSmallSat = "    <satellite name=\"Small Sat\" position=\"5.0W\" selected=\"yes\" tv=\"yes\"/>\r\n";
inline const char* const kAstra =
    "    <satellite name=\"ASTRA 1KR\" position=\"19.2E\" selected=\"yes\" tv=\"yes\" radio=\"yes\"/>\r\n";

// A settings file whose url is the server's page address ("&amp;" in the
// file, "&" in the attribute, as the program itself writes it). No language
// is selected: a selected one turns the address into https:// and the
// language's label, which the plain-HTTP server does not answer.
inline void WriteSettings(const listing_test::ListingServer& server, const std::string& satellites) {
  WriteBytes("ovn_settings.xml",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
             "<orbvane_settings url=\"" + server.SettingsUrl() + "\">\r\n"
             "  <language_list>\r\n"
             "    <language name=\"English\" pad=\"en\" img=\"en.png\"/>\r\n"
             "  </language_list>\r\n"
             "  <satellite_list>\r\n" + satellites +
             "  </satellite_list>\r\n"
             "</orbvane_settings>\r\n");
}

// A download into out/ with "Find country via provider name" ticked. The
// three duplicate service ids of the two pages are answered in page order:
// HOTBIRD 13B 3401 (Rai 1, Rai 3 TGR) with "Keep both", ASTRA 1KR 28107
// (Süd TV, Tele München) with "Merge 2 into 1" and 10002 (Straße TV,
// Россия 24) with "Merge 1 into 2".
inline const char* const kDownloadSteps =
    "click CountryViaProviderCheck\n"
    "click DownloadButton\n"
    "folder out/\n"
    "dialog KeepBothButton\n"
    "dialog MergeTwoIntoOneButton\n"
    "dialog MergeOneIntoTwoButton\n";

inline const char* const kSummary =
    "Done. Satellites:2 Transponders:10 Tvs:61 (HD/3D=6) Radios:5 Datas:2 Feeds:2";

inline fs::path DownloadExpectedDir() { return SourceDir() / "tests" / "fixtures" / "download" / "expected"; }

// The data file and the list files of that download, byte for byte.
inline void ExpectDownloadedFiles(const fs::path& out, const listing_test::ListingServer& server) {
  for (const char* name : {"orbvane.xml", "country.xml", "genre.xml", "provider.xml", "language.xml"})
    EXPECT_EQ(ReadBytes(out / name), ExpectedBytes(DownloadExpectedDir(), name, server)) << name;
}

}  // namespace listing_site
