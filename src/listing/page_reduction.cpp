// Reducing a page to the reduced file: the wanted tables with one cell per
// line into the temporary file, then each table through its reducer.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <string_view>
#include <system_error>

#include "common/encoding.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"

using namespace listing_text;

namespace {

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

size_t Count(const Text& s, TextView pattern) {
  size_t count = 0;
  for (size_t at = FindIn(s, pattern); at != Text::npos; at = FindIn(s, pattern, at + pattern.size()))
    ++count;
  return count;
}

bool HasAt(const Char* p, size_t n, size_t i, TextView pattern) { return MatchesAt(p, n, i, pattern); }

// Characters of a page line that the line cleaning looks at: kLineStop
// always, kLineEquals while a table marker is looked for (each marker holds
// " class=" followed by its table's name).
constexpr unsigned kLineStop = 1;
constexpr unsigned kLineEquals = 2;

struct LineCharKinds {
  unsigned char kind[256] = {};
  constexpr LineCharKinds() {
    kind['<'] = kind['>'] = kind['&'] = kind['\t'] = kLineStop;
    kind['='] = kLineEquals;
  }
};
constexpr LineCharKinds kLineCharKinds;

inline unsigned LineCharKind(Char c) {
  if constexpr (sizeof(Char) == 1)
    return kLineCharKinds.kind[CharCode(c)];
  else
    return CharCode(c) < 256 ? kLineCharKinds.kind[CharCode(c)] : 0;
}

// What the first pass needs of a page line besides its text.
struct LineFacts {
  int tableStarts = 0;  // "<TABLE"
  int tableEnds = 0;    // "</TABLE"
  bool marked = false;  // holds a table marker
};

// The cleaning of a table line in one sweep from in to out. The separate
// replacements of the line rules meet only in these ways, all kept here:
// - "<br />" and "&nbsp;" leave a blank, and a blank (not a tab, which
//   becomes one only later) right before a ">" goes;
// - ">&nbsp;<" becomes "> <", as "&nbsp;" alone does;
// - tag names in capitals ("<td", "</td", "<tr", "</tr", "<a", "</a") neither
//   make nor break any other pattern;
// - a line end follows each "</TD>" and "</TR>" as they stand at the end.
// False, with out unfinished, when the line holds "<div ": such tags go first.
// Given facts, in is a trimmed page line: "<table" and "</table" are put in
// capitals on the way and the facts are gathered; false when the line holds
// a div tag, which the first pass removes before anything else.
// The line goes to the start of buffer, which only grows, so that a line
// costs neither allocation nor filling; length is the normalised line's.
// readable (at least the line's size) is how many characters from the
// line's start may be read: runs are looked for sixteen at a time where
// SSE2 is at hand, which may read past the line's end.
bool NormaliseLine(TextView in, Text& buffer, size_t& length, bool divTagsGone, LineFacts* facts = nullptr,
                   size_t readable = 0) {
  const Char* p = in.data();
  const size_t n = in.size();
  readable = std::max(readable, n);
  // A character gives at most one, and a ">" at most three (a line end after
  // it); a run may write sixteen at once.
  if (buffer.size() < 3 * n + 16) buffer.resize(3 * n + 16);
  Char* o = buffer.data();
  size_t w = 0;
  bool blankFromTab = false;  // whether the last blank written was a tab
  // An "=" matters only while no table marker is found.
  unsigned stops = facts ? kLineStop | kLineEquals : kLineStop;
  size_t i = 0;
  while (i < n) {
    // Runs of characters that no rule looks at are taken as they are.
    if (!(LineCharKind(p[i]) & stops)) {
#if defined(__SSE2__)
      if constexpr (sizeof(Char) == 1) {
        // Sixteen characters copied at once, and the run taken up to the
        // first that may stop it ("=" stops it here even where the rules
        // do not look at it; the loop below then goes on).
        while (readable - i >= 16) {
          const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
          const __m128i stop = _mm_or_si128(
              _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')), _mm_cmpeq_epi8(v, _mm_set1_epi8('>'))),
              _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('&')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))),
                           _mm_cmpeq_epi8(v, _mm_set1_epi8('='))));
          const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stop));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(o + w), v);
          const size_t run = std::min<size_t>(mask ? std::countr_zero(mask) : 16, n - i);
          i += run;
          w += run;
          if (run < 16 || i == n) break;
        }
      }
#endif
      while (i < n && !(LineCharKind(p[i]) & stops)) o[w++] = p[i++];
      blankFromTab = false;
      continue;
    }
    const Char c = p[i];
    if (c == Char('<')) {
      // The tag's first characters tell which rules may apply.
      const Char next = i + 1 < n ? p[i + 1] : Char(0);
      if (next == Char('b') && HasAt(p, n, i, TXT("<br />"))) {
        o[w++] = Char(' ');
        blankFromTab = false;
        i += 6;
        continue;
      }
      if (next == Char('d') && !divTagsGone && HasAt(p, n, i, TXT("<div "))) return false;
      o[w++] = Char('<');
      ++i;
      const bool end = next == Char('/');
      if (end) {
        o[w++] = Char('/');
        ++i;
      }
      const Char name = i < n ? p[i] : Char(0);
      if (facts) {
        if (name == Char('d') && HasAt(p, n, i, TXT("div>"))) return false;
        if ((name == Char('t') && HasAt(p, n, i, TXT("table"))) || (name == Char('T') && HasAt(p, n, i, TXT("TABLE")))) {
          for (const Char t : TextView(TXT("TABLE"))) o[w++] = t;
          i += 5;
          ++(end ? facts->tableEnds : facts->tableStarts);
          continue;
        }
      }
      if (name == Char('t') && i + 1 < n && (p[i + 1] == Char('d') || p[i + 1] == Char('r'))) {
        o[w++] = Char('T');
        o[w++] = p[i + 1] == Char('d') ? Char('D') : Char('R');
        i += 2;
      } else if (name == Char('a')) {
        o[w++] = Char('A');
        ++i;
      }
      continue;
    }
    if (c == Char('&') && HasAt(p, n, i, TXT("&nbsp;"))) {
      o[w++] = Char(' ');
      blankFromTab = false;
      i += 6;
      continue;
    }
    if (c == Char('>')) {
      if (w > 0 && o[w - 1] == Char(' ') && !blankFromTab) --w;
      o[w++] = Char('>');
      if (w >= 5 && o[w - 5] == Char('<') && o[w - 4] == Char('/') && o[w - 3] == Char('T') &&
          (o[w - 2] == Char('D') || o[w - 2] == Char('R'))) {
        o[w++] = Char('\r');
        o[w++] = Char('\n');
      }
      ++i;
      continue;
    }
    if (c == Char('\t')) {
      o[w++] = Char(' ');
      blankFromTab = true;
      ++i;
      continue;
    }
    if (c == Char('=') && facts && i >= 6 && p[i - 1] == Char('s') && p[i - 6] == Char(' ') &&
        (HasAt(p, n, i - 6, kHeaderTableMarker) || HasAt(p, n, i - 6, kServiceTableMarker))) {
      facts->marked = true;
      stops = kLineStop;
    }
    o[w++] = c;
    blankFromTab = false;
    ++i;
  }
  length = w;
  return true;
}

void WriteNormalised(TextView w) {
  // Every cell and row end now ends its own line.
  if (w.size() >= 2 && w[w.size() - 2] == Char('\r') && w[w.size() - 1] == Char('\n'))
    WriteWorkText(Listing.TempFileOut, TrimmedView(w));
  else
    WriteWorkLine(Listing.TempFileOut, w);
}

// The normalised line in WorkText, from the text in, to the temporary file.
void NormaliseAndWrite(TextView in) {
  ListingState& l = Listing;
  size_t length = 0;
  if (!NormaliseLine(in, l.LineBuffer, length, false)) {
    Text& stripped = l.LineScratch;
    l.WorkText.assign(in);
    StripTag(TXT("<div "));
    stripped.swap(l.WorkText);
    NormaliseLine(stripped, l.LineBuffer, length, true);
  }
  l.WorkText.assign(l.LineBuffer.data(), length);
  WriteNormalised(l.WorkText);
}

// CurrentLine from a page line: blanks trimmed, "<table" and "</table" in
// capitals, "</div>" and "<div>" removed, in one copy when no div tag is met.
LineFacts TakePageLine(TextView line, Text& current) {
  LineFacts facts;
  const TextView trimmed = TrimmedView(line);
  current.assign(trimmed);
  Char* p = current.data();
  const size_t n = current.size();
  bool divTag = false;
  bool classAttribute = false;
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == Char('<')) {
      size_t k = i + 1;
      const bool end = k < n && p[k] == Char('/');
      if (end) ++k;
      if (HasAt(p, n, k, TXT("table"))) {
        for (size_t j = 0; j < 5; ++j) p[k + j] = static_cast<Char>(p[k + j] - 'a' + 'A');
      }
      if (HasAt(p, n, k, TXT("TABLE"))) ++(end ? facts.tableEnds : facts.tableStarts);
      if (HasAt(p, n, k, TXT("div>"))) divTag = true;
    } else if (p[i] == Char(' ') && i + 1 < n && p[i + 1] == Char('c') && !classAttribute &&
               HasAt(p, n, i, TXT(" class=\""))) {
      classAttribute = true;
    }
  }
  if (divTag) {
    RemoveIn(current, TXT("</div>"));
    RemoveIn(current, TXT("<div>"));
    facts.tableStarts = static_cast<int>(Count(current, TXT("<TABLE")));
    facts.tableEnds = static_cast<int>(Count(current, TXT("</TABLE")));
    classAttribute = Contains(current, TXT(" class=\""));
  }
  // Every marker holds " class=\"", and the full service table tag holds the
  // service table marker.
  facts.marked = classAttribute &&
                 (Contains(current, kHeaderTableMarker) || Contains(current, kServiceTableMarker));
  return facts;
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
  bool workIsCurrentLine = false;  // WorkText is due to be CurrentLine
  TextView lastLine;                // the last line read, trimmed
  bool lastLineTaken = false;       // whether CurrentLine holds it already
  bool anyLine = false;
  size_t length = 0;  // of the line last normalised in one sweep
  bool lastOneSweep = false;
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
    // Mostly one sweep makes both CurrentLine (left as a view into the page)
    // and the normalised line; a line with a div tag takes the long way.
    const TextView trimmed = TrimmedView(line);
    LineFacts facts;
    const bool oneSweep = NormaliseLine(trimmed, l.LineBuffer, length, false, &facts,
                                        static_cast<size_t>(page.data() + page.size() - trimmed.data()));
    if (!oneSweep) facts = TakePageLine(trimmed, l.CurrentLine);
    lastLine = trimmed;
    lastLineTaken = !oneSweep;
    lastOneSweep = oneSweep;
    anyLine = true;
    workIsCurrentLine = true;
    if (facts.marked) {
      if (depth > 0)
        ComplainOnce(l.TableNotFinishedShown, TXT("HTML error ?"), TXT("Table not finished."));
      outside = false;
    }
    if (!outside) {
      depth += facts.tableStarts;
      if (depth > 0 && !(oneSweep ? trimmed.empty() : l.CurrentLine.empty())) {
        if (oneSweep)
          WriteNormalised(TextView(l.LineBuffer.data(), length));
        else
          NormaliseAndWrite(l.CurrentLine);
        workIsCurrentLine = false;
      }
      depth -= facts.tableEnds;
      // More table ends than starts close the table too, so that the next
      // wanted table is not lost to a negative depth.
      if (depth <= 0) {
        depth = 0;
        outside = true;
      }
    }
  }
  // The shared texts are left as the last line made them.
  if (anyLine && !lastLineTaken) TakePageLine(lastLine, l.CurrentLine);
  if (workIsCurrentLine)
    l.WorkText = l.CurrentLine;
  else if (lastOneSweep)
    l.WorkText.assign(l.LineBuffer.data(), length);
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

namespace {

// One character per byte (ISO-8859-1); in the 8-bit build the bytes are
// taken over as they are.
Text BytesAsCharacters(std::string&& bytes) {
#ifdef OVN_UNICODE
  Text text(bytes.size(), Char(0));
  const unsigned char* in = reinterpret_cast<const unsigned char*>(bytes.data());
  for (size_t i = 0; i < bytes.size(); ++i) text[i] = in[i];
  return text;
#else
  return std::move(bytes);
#endif
}

Text DecodePageBytes(std::string&& bytes) {
  if (IsAsciiBytes(bytes) || !IsValidUtf8(bytes)) return BytesAsCharacters(std::move(bytes));
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

// The whole file in one read when its size is known beforehand.
bool ReadPageFile(const Text& path, std::string& bytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p = ToFsPath(path);
  const auto size = fs::is_regular_file(p, ec) ? fs::file_size(p, ec) : 0;
  if (!ec && size > 0) {
    std::ifstream in(p, std::ios::binary);
    bytes.resize(static_cast<size_t>(size));
    if (in.read(bytes.data(), static_cast<std::streamsize>(size)) && in.peek() == EOF) return true;
  }
  return ReadFileBytes(path, bytes);
}

}  // namespace

Text DecodePage(const std::string& bytes) { return DecodePageBytes(std::string(bytes)); }

void StripTag(TextView startText) {
  Text& w = Listing.WorkText;
  if (startText.empty()) return;
  size_t at = FindIn(w, startText);
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
    const size_t close = FindCharIn(w, Char('>'), at + 2);
    if (close == Text::npos) {
      // A tag without end: the rest of the text goes with it.
      read = w.size();
      break;
    }
    read = close + 1;
    at = FindIn(w, startText, read);
  }
  std::char_traits<Char>::move(p + write, p + read, w.size() - read);
  w.resize(write + w.size() - read);
}

bool StripApartTags(std::initializer_list<TextView> blanked, std::initializer_list<TagReplacement> replaced) {
  ListingState& l = Listing;
  Text& w = l.WorkText;
  const Char* p = w.data();
  const size_t n = w.size();
  size_t at = FindCharIn(w, Char('<'));
  if (at == Text::npos) return true;
  Text& out = l.LineScratch;
  // Each tag gives at most its replacement, a few characters longer.
  size_t longest = 0;
  for (const TagReplacement& r : replaced) longest = std::max(longest, r.text.size());
  if (out.size() < n + longest * n) out.resize(n + longest * n);
  Char* o = out.data();
  size_t written = 0;
  size_t copied = 0;  // characters of w dealt with
  while (at != Text::npos) {
    // A tag ends at the first ">" from its third character on. Tags and the
    // texts between them are short, so they are looked at one by one.
    size_t close = at + 1;
    if (close < n && p[close] != Char('<')) ++close;
    while (close < n && p[close] != Char('<') && p[close] != Char('>')) ++close;
    if (close >= n || p[close] == Char('<')) return false;
    const TextView* put = nullptr;  // what the tag becomes; none: it stays
    static constexpr Char kBlank[] = {Char(' ')};
    static constexpr TextView kBlankText(kBlank, 1);
    for (TextView start : blanked) {
      if (p[at + 1] == start[1] && MatchesAt(p, n, at, start)) {
        put = &kBlankText;
        break;
      }
    }
    if (!put) {
      for (const TagReplacement& r : replaced) {
        if (r.tag.size() == close + 1 - at && MatchesAt(p, n, at, r.tag)) {
          put = &r.text;
          break;
        }
      }
    }
    if (put) {
      for (size_t i = copied; i < at; ++i) o[written++] = p[i];
      for (const Char c : *put) o[written++] = c;
      copied = close + 1;
    }
    at = close + 1;
    while (at < n && p[at] != Char('<')) ++at;
    if (at == n) at = Text::npos;
  }
  if (copied > 0) {
    std::char_traits<Char>::copy(o + written, p + copied, n - copied);
    written += n - copied;
    w.assign(o, written);
  }
  return true;
}

void StripTags(std::initializer_list<TextView> startTexts) {
  // In one sweep when every start text is a tag start without ">" and the
  // tags of the text are apart: taking out one then never changes another.
  bool apart = true;
  for (TextView start : startTexts) {
    if (start.size() < 2 || start[0] != Char('<')) apart = false;
    for (const Char c : start)
      if (c == Char('>')) apart = false;
  }
  if (apart && StripApartTags(startTexts)) return;
  for (TextView start : startTexts) StripTag(start);
}

void CutBefore(TextView text) {
  Text& w = Listing.WorkText;
  if (text.empty()) return;
  const size_t at = FindIn(w, text);
  if (at != Text::npos && at > 0) w.erase(0, at);
}

void WriteReducedLine() {
  Text& input = Listing.LineScratch2;
  input.swap(Listing.WorkText);
  NormaliseAndWrite(input);
}

void ReducePage(const Text& pageFile, const Text& reducedFile) {
  ListingState& l = Listing;
  const Text tempFile = pageFile + TXT(".tmp");
  l.TableNotFinishedShown = false;
  l.UnexpectedTagShown = false;

  CreateWorkFile(l.TempFileOut, tempFile);
  {
    std::string bytes;
    if (ReadPageFile(pageFile, bytes)) {
      const Text page = DecodePageBytes(std::move(bytes));
      // Room for the wanted tables at once: growing a large text copies it.
      l.TempFileOut.bytes.reserve(page.size() + page.size() / 8);
      CopyWantedTables(page);
    }
  }
  // The second pass reads what was written, without reading the file back.
  const bool written = CloseWorkFileKeepingText(l.TempFileOut, l.TempFileIn);
  if (!written) OpenWorkFile(l.TempFileIn, tempFile);

  CreateWorkFile(l.ReducedFileOut, reducedFile);
  l.ReducedFileOut.bytes.reserve(l.TempFileIn.text.size());
  ReduceTables();
  CloseWorkFile(l.ReducedFileOut);
  l.TempFileIn = WorkFileReader{};
  DeleteFileAt(tempFile);
}
