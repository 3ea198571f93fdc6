// Listing download and conversion: fetching the page of every ticked
// satellite, reducing it to blocks and turning them into the data file and the
// four list files.
//
// A page goes through three work files in ovn_work/: the page as received
// (NAME.html), the wanted tables with one cell per line (NAME.html.tmp) and the
// reduced file of blocks (NAME.txt) that the block parser reads:
//   "--->>>" and one transponder header line, or
//   "--->", 13 service field lines and "<---".
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/text.h"
#include "platform/xml_doc.h"

// Host of the listing site. Its first label is the page language (for example
// "en." in front); the url attribute of the settings file can point elsewhere.
inline const Text kListingSiteHost = TXT("orbvane.example");

// A page file is usable only above this size; smaller files are error pages.
constexpr long long kSmallestBadPageSize = 19455;
// Checks of one page when retrying without asking.
constexpr int kAutoRetryChecks = 3;

// Table markers of the listing site's pages.
inline const Text kHeaderTableMarker = TXT(" class=\"frq\"");
inline const Text kServiceTableMarker = TXT(" class=\"fl\"");
inline const Text kFullServiceTableTag =
    TXT("<TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class=\"fl\">");

// A work file read line by line; lines end at CR LF, LF or CR.
struct WorkFileReader {
  Text text;
  size_t next = 0;  // index of the first character of the next line
};

// A work file being written; its bytes go to disk when it is closed.
struct WorkFileWriter {
  Text path;
  std::string bytes;
};

struct ProviderRecord {
  Text name;     // as first seen in the run
  Text key;      // upper-case form of name
  Text country;  // first country seen with it
};

struct LanguageRecord {
  Text name;
  Text abbreviation;
};

enum class TransponderResult { Created, Skipped, Failed };

// The five buttons of the double service ident dialog.
enum class DoubleIdentChoice { KeepFirst, KeepSecond, KeepBoth, MergeOneIntoTwo, MergeTwoIntoOne };

constexpr int kServiceFieldCount = 16;

// Hash of texts that also looks up views, so a look-up builds no text.
struct TextHash {
  using is_transparent = void;
  size_t operator()(TextView text) const { return std::hash<TextView>{}(text); }
};
using TextSet = std::unordered_set<Text, TextHash, std::equal_to<>>;

struct ServiceAttributeKeys {
  xml::NameKey service, type, name, country, genre, provider, crypt, sid, vpid, audioAc3, audio, pmt, pcr, txt;
};

struct ListingState {
  // Run counters, set to 0 at the start of every download.
  int SatelliteCount = 0;
  int TransponderCount = 0;
  int TvCount = 0;
  int HdCount = 0;
  int RadioCount = 0;
  int DataCount = 0;
  int FeedCount = 0;

  // Kinds of service rows dropped for the satellite being fetched.
  bool SkipTv = false;
  bool SkipRadio = false;
  bool SkipData = false;
  bool SkipFeed = false;

  // The line last read while reducing, and the line or cell being cleaned.
  Text CurrentLine;
  Text WorkText;
  // Buffers of the line cleaning, kept so that a line costs no allocation.
  Text LineScratch;
  Text LineScratch2;
  Text LineBuffer;  // only grows
  Text AudioScratch;
  Text PidScratch;
  Text AudioPlain;
  Text AudioAc3;
  Text FieldScratch;
  std::vector<TextView> AudioFields;

  // Elements of DownloadDoc created last; none once the document is freed.
  xml::XmlNode* CurrentSatellite = nullptr;
  xml::XmlNode* CurrentTransponder = nullptr;
  // Names of the service attributes in DownloadDoc's name table; made with
  // its first service and forgotten with its elements.
  ServiceAttributeKeys ServiceKeys;
  // First service of CurrentTransponder with each service id.
  std::unordered_map<Text, xml::XmlNode*> TransponderSids;

  // The lines of one service block.
  std::array<Text, kServiceFieldCount> ServiceFields;

  // What the run met, in order of first appearance, for the list files.
  std::vector<Text> CountryNames;
  std::vector<Text> GenreNames;
  std::vector<ProviderRecord> ProviderTable;
  std::vector<LanguageRecord> LanguageTable;
  // Look-ups into the lists above.
  TextSet KnownCountries;
  TextSet KnownGenres;
  TextSet KnownLanguages;
  std::unordered_map<Text, size_t> ProviderByKey;
  // The provider text met last and its entry: the services of a transponder
  // mostly share one.
  Text LastProviderText;
  size_t LastProvider = 0;

  // The temporary file (written by the first pass of a reduction, read by the
  // second) and the reduced file.
  WorkFileWriter TempFileOut;
  WorkFileReader TempFileIn;
  WorkFileWriter ReducedFileOut;
  // Each kind of HTML complaint is shown once per page, not once per table.
  bool TableNotFinishedShown = false;
  bool UnexpectedTagShown = false;

  // Wait before a repeated download.
  int RetryWaitMilliseconds = 2000;
};

extern ListingState Listing;

void ResetListingState();

// ---- download driver ----------------------------------------------------------
// Handler of DownloadButton.
int DownloadSatellites(int window, int eventKind, int gadget, int eventType);
// The base URL of the pages: the settings' url (or the built-in default) cut
// after its first "pos=", with the selected language's pad as first label.
Text BuildBaseUrl();
// "ovn_work/" and the satellite's name with spaces and slashes made "_".
Text PageBasePath(const Text& satelliteName);
// Empties the four collection lists and their look-ups.
void ClearCollections();
// Creates DownloadDoc with its root element; true when the root exists.
bool NewDownloadDoc();
// Lays out, saves and frees DownloadDoc.
void SaveDownloadDoc(const Text& file);
// "Done. Satellites:... Feeds:..." from the run counters.
Text SummaryText();

// ---- page retrieval and reduction -----------------------------------------------
void FetchSatellitePage(const Text& name, const Text& position, const Text& basePath,
                        const Text& url, int statusGadget);
// The page file as text: UTF-8 when the whole file is valid UTF-8, otherwise
// one byte per character (ISO-8859-1).
Text DecodePage(const std::string& bytes);
void ReducePage(const Text& pageFile, const Text& reducedFile);
void WriteReducedLine();
// Replaces each tag that starts with startText, up to its ">", by one space.
void StripTag(TextView startText);
// StripTag with each start text in turn.
void StripTags(std::initializer_list<TextView> startTexts);
// A whole tag ("<br>") and the text it becomes.
struct TagReplacement {
  TextView tag;
  TextView text;
};
// StripTags(blanked) in one sweep, with each whole tag of replaced put by its
// text, when the tags of WorkText are apart: every "<" has a ">" from its
// third character on before the next "<". The tags then stay apart, so the
// replacements give the same whether done before the stripping or after it
// (ReplaceIn, RemoveIn). Each start text of blanked is a tag start without
// ">", and no tag of replaced begins with one. False, with WorkText
// untouched, when the tags are not apart.
bool StripApartTags(std::initializer_list<TextView> blanked, std::initializer_list<TagReplacement> replaced = {});
void CutBefore(TextView text);
void ParseReducedFile(const Text& reducedFile, const Text& name, const Text& position,
                      const Text& url);

// Work files; reading past the end gives empty lines.
bool OpenWorkFile(WorkFileReader& reader, const Text& path);
bool AtEndOfWorkFile(const WorkFileReader& reader);
// The next line, valid until the reader reads again.
TextView ReadWorkLine(WorkFileReader& reader);
void CreateWorkFile(WorkFileWriter& writer, const Text& path);
void WriteWorkLine(WorkFileWriter& writer, TextView line);  // trimmed, CR LF
void WriteWorkText(WorkFileWriter& writer, TextView text);  // as it is
bool CloseWorkFile(WorkFileWriter& writer);
// Closes the writer and, when the file was written, gives the reader its text
// to read from the start.
bool CloseWorkFileKeepingText(WorkFileWriter& writer, WorkFileReader& reader);

// ---- header rows ----------------------------------------------------------------
void ReduceTransponderHeader();
TransponderResult AddTransponder();
bool AddSatellite(const Text& name, const Text& position, const Text& url);

// ---- service rows ---------------------------------------------------------------
void ReduceServiceTable();
void AddService();
// The audio field parsed into "pid:code" lists joined by ";"; languages met
// with a code go to the language table.
void ParseAudioField(const Text& audio, Text& plainList, Text& ac3List);
// Encryption words joined by ":".
Text NormaliseEncryption(const Text& crypt);
// The same into out, whose buffer is used again.
void NormaliseEncryptionInto(const Text& crypt, Text& out);

// ---- double service ident dialog -------------------------------------------------
// Opens the dialog at the main window's place and fills in the five buttons
// (in the order of DoubleIdentChoice); 0 when no window could be opened.
int OpenDoubleIdentDialog(const Text& satellite, const Text& transponder, const Text& ident,
                          const Text& service1, const Text& service2, int buttons[5]);
// Asks until one of the five buttons is pressed.
DoubleIdentChoice AskDoubleIdent(const Text& satellite, const Text& transponder, const Text& ident,
                                 const Text& service1, const Text& service2);

// ---- list files -------------------------------------------------------------------
void WriteListFiles(int statusGadget, const Text& folder);
void DeriveCountries();
Text ProviderCountry(const Text& providerName);
