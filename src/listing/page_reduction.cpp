// Reducing a page to the reduced file: the wanted tables with one cell per
// line into the temporary file, then each table through its reducer.
#include <string>
#include <string_view>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"

using namespace listing_text;

namespace {

bool IsAscii(std::string_view s) {
  unsigned char any = 0;
  for (char c : s) any |= static_cast<unsigned char>(c);
  return any < 0x80;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (n - i < length) return false;
    const unsigned char second = static_cast<unsigned char>(s[i + 1]);
    if (second < low || second > high) return false;
    for (size_t k = 2; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      if (next < 0x80 || next > 0xBF) return false;
    }
    i += length;
  }
  return true;
}

void UpperCaseTagNames(Text& w) {
  Char* p = w.data();
  const size_t n = w.size();
  for (size_t i = w.find(Char('<')); i != Text::npos; i = w.find(Char('<'), i + 1)) {
    size_t k = i + 1;
    if (k < n && p[k] == Char('/')) ++k;
    if (k + 1 < n && p[k] == Char('t') && (p[k + 1] == Char('d') || p[k + 1] == Char('r'))) {
      p[k] = Char('T');
      p[k + 1] = p[k + 1] == Char('d') ? Char('D') : Char('R');
    } else if (k < n && p[k] == Char('a')) {
      p[k] = Char('A');
    }
  }
}

size_t Count(const Text& s, TextView pattern) {
  size_t count = 0;
  for (size_t at = s.find(pattern); at != Text::npos; at = s.find(pattern, at + pattern.size()))
    ++count;
  return count;
}

// A malformed page could repeat a complaint for every table; once per page
// tells the user all there is to know.
void ComplainOnce(bool& shown, const Text& title, const Text& text) {
  if (shown) return;
  shown = true;
  gui::ShowMessage(title, text, gui::kMessageOk);
}

// First pass: the lines of the wanted tables, normalised, into the temporary file.
void CopyWantedTables(const Text& page) {
  ListingState& l = Listing;
  bool outside = true;
  int depth = 0;
  size_t begin = 0;
  while (begin < page.size()) {
    const size_t end = FindLineEnd(page, begin);
    const TextView line(page.data() + begin, end - begin);
    begin = end;
    if (begin < page.size()) {
      if (page[begin] == Char('\r') && begin + 1 < page.size() && page[begin + 1] == Char('\n'))
        ++begin;
      ++begin;
    }

    gui::PollEvent();
    AssignTrimmed(l.CurrentLine, line);
    // Every pattern of this pass but the markers holds a "<".
    const bool hasTag = l.CurrentLine.find(Char('<')) != Text::npos;
    if (hasTag) {
      ReplaceIn(l.CurrentLine, TXT("<table"), TXT("<TABLE"));
      ReplaceIn(l.CurrentLine, TXT("</table"), TXT("</TABLE"));
      RemoveIn(l.CurrentLine, TXT("</div>"));
      RemoveIn(l.CurrentLine, TXT("<div>"));
    }
    l.WorkText = l.CurrentLine;
    if (Contains(l.WorkText, TXT(" class=\"")) &&
        (Contains(l.WorkText, kHeaderTableMarker) || Contains(l.WorkText, kServiceTableMarker) ||
         Contains(l.WorkText, kFullServiceTableTag))) {
      if (depth > 0)
        ComplainOnce(l.TableNotFinishedShown, TXT("HTML error ?"), TXT("Table not finished."));
      outside = false;
    }
    if (!outside) {
      if (hasTag) depth += static_cast<int>(Count(l.WorkText, TXT("<TABLE")));
      if (depth > 0 && !l.WorkText.empty()) WriteReducedLine();
      if (hasTag) depth -= static_cast<int>(Count(l.CurrentLine, TXT("</TABLE")));
      // More table ends than starts close the table too, so that the next
      // wanted table is not lost to a negative depth.
      if (depth <= 0) {
        depth = 0;
        outside = true;
      }
    }
  }
}

// Second pass: each wanted table of the temporary file through its reducer.
void ReduceTables() {
  ListingState& l = Listing;
  bool firstHeader = true;
  while (!AtEndOfWorkFile(l.TempFileIn)) {
    gui::PollEvent();
    AssignTrimmed(l.CurrentLine, ReadWorkLine(l.TempFileIn));
    if (!BeginsWith(l.CurrentLine, TXT("<TABLE "))) continue;
    if (Contains(l.CurrentLine, kHeaderTableMarker)) {
      // The first header table of a page describes the satellite, no transponder.
      if (firstHeader)
        firstHeader = false;
      else
        ReduceTransponderHeader();
    } else if (Contains(l.CurrentLine, kServiceTableMarker)) {
      ReduceServiceTable();
    } else {
      ComplainOnce(l.UnexpectedTagShown, TXT("Not expected HTML tag...."), l.CurrentLine);
    }
  }
}

}  // namespace

Text DecodePage(const std::string& bytes) {
  if (IsAscii(bytes)) return TextFromAscii(bytes);
  if (IsValidUtf8(bytes)) {
#ifdef OVN_UNICODE
    std::u16string text = Utf8ToUtf16(bytes);
    // Not characters in XML: they would make the data file unreadable.
    for (char16_t& c : text)
      if (c == 0xFFFE || c == 0xFFFF) c = 0xFFFD;
    return text;
#else
    return Utf8ToLatin1(bytes);
#endif
  }
  return TextFromAscii(bytes);  // one byte per character: ISO-8859-1
}

void StripTag(TextView startText) {
  Text& w = Listing.WorkText;
  if (startText.empty()) return;
  size_t at = w.find(startText);
  if (at == Text::npos) return;
  // One sweep, in place (a tag is never shorter than its blank): the start
  // texts never begin with a blank, so the blank put in place of a tag never
  // starts the next match.
  Char* p = w.data();
  size_t write = at;
  size_t read = at;
  while (at != Text::npos) {
    if (write != read) std::char_traits<Char>::move(p + write, p + read, at - read);
    write += at - read;
    p[write++] = Char(' ');
    const size_t close = w.find(Char('>'), at + 2);
    if (close == Text::npos) {
      // A tag without end: the rest of the text goes with it.
      read = w.size();
      break;
    }
    read = close + 1;
    at = w.find(startText, read);
  }
  std::char_traits<Char>::move(p + write, p + read, w.size() - read);
  w.resize(write + w.size() - read);
}

void CutBefore(TextView text) {
  Text& w = Listing.WorkText;
  if (text.empty()) return;
  const size_t at = w.find(text);
  if (at != Text::npos && at > 0) w.erase(0, at);
}

void WriteReducedLine() {
  Text& w = Listing.WorkText;
  const bool hasTag = w.find(Char('<')) != Text::npos;
  if (hasTag) {
    StripTag(TXT("<div "));
    // "<td", "</td", "<tr", "</tr", "<a" and "</a" in capitals; the later
    // replacements neither make nor break such names.
    UpperCaseTagNames(w);
    ReplaceIn(w, TXT("<br />"), TXT(" "));
  }
  if (w.find(Char('&')) != Text::npos) {
    ReplaceIn(w, TXT(">&nbsp;<"), TXT("> <"));
    ReplaceIn(w, TXT("&nbsp;"), TXT(" "));
  }
  ReplaceIn(w, TXT(" >"), TXT(">"));
  for (Char& c : w)
    if (c == Char('\t')) c = Char(' ');
  if (hasTag) {
    ReplaceIn(w, TXT("</TD>"), TXT("</TD>\r\n"));
    ReplaceIn(w, TXT("</TR>"), TXT("</TR>\r\n"));
  }
  // Every cell and row end now ends its own line.
  if (EndsWith(w, TXT("\r\n")))
    WriteWorkText(Listing.TempFileOut, TrimmedView(w));
  else
    WriteWorkLine(Listing.TempFileOut, w);
}

void ReducePage(const Text& pageFile, const Text& reducedFile) {
  ListingState& l = Listing;
  const Text tempFile = pageFile + TXT(".tmp");
  l.TableNotFinishedShown = false;
  l.UnexpectedTagShown = false;

  CreateWorkFile(l.TempFileOut, tempFile);
  {
    std::string bytes;
    if (ReadFileBytes(pageFile, bytes)) {
      const Text page = DecodePage(bytes);
      bytes = std::string();
      CopyWantedTables(page);
    }
  }
  CloseWorkFile(l.TempFileOut);

  CreateWorkFile(l.ReducedFileOut, reducedFile);
  OpenWorkFile(l.TempFileIn, tempFile);
  ReduceTables();
  CloseWorkFile(l.ReducedFileOut);
  l.TempFileIn = WorkFileReader{};
  DeleteFileAt(tempFile);
}
