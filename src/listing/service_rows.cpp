// Service tables: each row of the temporary file into a block of 13 field
// lines of the reduced file.
#include <initializer_list>

#include "listing/htmllib.h"
#include "listing/listing_text.h"

using namespace listing_text;

namespace {

void ReadLine() { Listing.WorkText.assign(ReadWorkLine(Listing.TempFileIn)); }

void WriteField(const Text& text) { WriteWorkLine(Listing.ReducedFileOut, text); }

// What stands between the start tag and "</TD>" of a cell line
// "<TD...>inside</TD>" whose start tag holds no "<", found in the line as
// read; stripping the cell's two tags would leave " inside ".
bool FindCellInside(TextView line, TextView& inside) {
  const size_t n = line.size();
  if (n < 9 || line.substr(0, 3) != TXT("<TD") || line.substr(n - 5) != TXT("</TD>")) return false;
  const Char* p = line.data();
  const size_t insideEnd = n - 5;
  size_t close = 3;
  while (close < insideEnd && p[close] != Char('>') && p[close] != Char('<')) ++close;
  if (close == insideEnd || p[close] != Char('>')) return false;
  inside = line.substr(close + 1, insideEnd - close - 1);
  return true;
}

// The text of a plain cell: one with no tag inside.
bool FindPlainCellText(TextView line, TextView& text) {
  return FindCellInside(line, text) && FindCharIn(text, Char('<')) == Text::npos;
}

// Such a cell reduced in WorkText to " text ". False, WorkText untouched,
// for any other cell.
bool ReducePlainCell() {
  Text& w = Listing.WorkText;
  TextView text;
  if (!FindPlainCellText(w, text)) return false;
  Char* p = w.data();
  const size_t begin = static_cast<size_t>(text.data() - p);
  std::char_traits<Char>::move(p + 1, p + begin, text.size());
  p[0] = Char(' ');
  p[text.size() + 1] = Char(' ');
  w.resize(text.size() + 2);
  return true;
}

// The audio cell in the site's usual shape: "<TD...>" and "</TD>" around
// PIDs, blanks, AC3 pictures, line breaks and language links
// '<A title="Name"><font color="blue">code</font></A>'. Its cleaning steps
// then each touch only their own tags, and the cell reduces in one sweep.
// True, with WorkText so reduced, for such a cell; false, WorkText
// untouched, for any other, which goes through the steps one by one.
bool ReduceUsualAudioCell() {
  ListingState& l = Listing;
  Text& w = l.WorkText;
  const Char* p = w.data();
  const size_t n = w.size();
  TextView inside;
  if (!FindCellInside(w, inside)) return false;
  // "aac " goes wherever it stands, even where the other steps make it.
  if (FindIn(w, TXT("aac")) != Text::npos) return false;
  size_t i = static_cast<size_t>(inside.data() - p);
  const size_t end = i + inside.size();
  Text& out = l.LineScratch;
  // A picture of 21 characters gives 4, a line break of 4 gives 3, a link
  // gives two characters more than its name and code: never more than n.
  if (out.size() < n + 2) out.resize(n + 2);
  Char* o = out.data();
  size_t written = 0;
  o[written++] = Char(' ');
  // Characters of a name, code or text between the tags.
  auto plain = [](Char c) { return c != Char('<') && c != Char('>') && c != Char('"') && c != Char('='); };
  while (i < end) {
    const Char c = p[i];
    if (plain(c)) {
      o[written++] = c;
      ++i;
      continue;
    }
    if (c != Char('<')) return false;
    if (MatchesAt(p, end, i, TXT("<img src=\"/dd51.gif\">"))) {
      for (const Char t : TextView(TXT(":AC3"))) o[written++] = t;
      i += 21;
    } else if (MatchesAt(p, end, i, TXT("<br>"))) {
      for (const Char t : TextView(TXT(" : "))) o[written++] = t;
      i += 4;
    } else if (MatchesAt(p, end, i, TXT("<A title=\""))) {
      size_t k = i + 10;
      const size_t name = k;
      while (k < end && plain(p[k])) ++k;
      const TextView nameText(p + name, k - name);
      // The AC3 link goes whole by a step of its own.
      if (nameText == TXT("AC3 (Dolby Digital 5.1)")) return false;
      if (!MatchesAt(p, end, k, TXT("\"><font color=\"blue\">"))) return false;
      k += 21;
      const size_t code = k;
      while (k < end && plain(p[k])) ++k;
      if (!MatchesAt(p, end, k, TXT("</font></A>"))) return false;
      o[written++] = Char(' ');
      for (const Char t : nameText) o[written++] = t;
      o[written++] = Char('=');
      for (size_t j = code; j < k; ++j) o[written++] = p[j];
      o[written++] = Char(' ');
      o[written++] = Char(' ');
      i = k + 11;
    } else {
      return false;
    }
  }
  o[written++] = Char(' ');
  w.assign(o, written);
  ShrinkBlanks(w);
  return true;
}

// The cells below stand between others in a row, so their working text is
// never seen: the next cell's reading replaces it. A plain cell is written
// straight from the line as read.

// A cell holding a plain value.
void ReduceValueCell() {
  ListingState& l = Listing;
  const TextView line = ReadWorkLine(l.TempFileIn);
  TextView text;
  if (FindPlainCellText(line, text)) {
    WriteWorkLine(l.ReducedFileOut, text);
    return;
  }
  l.WorkText.assign(line);
  StripTags({TXT("<TD"), TXT("</TD")});
  WriteField(l.WorkText);
}

// A cell holding a PID or id, written without ":".
void ReduceIdCell() {
  ListingState& l = Listing;
  const TextView line = ReadWorkLine(l.TempFileIn);
  TextView text;
  if (FindPlainCellText(line, text)) {
    if (FindCharIn(text, Char(':')) == Text::npos) {
      WriteWorkLine(l.ReducedFileOut, text);
    } else {
      Text& id = l.FieldScratch;
      id.clear();
      for (const Char c : text)
        if (c != Char(':')) id += c;
      WriteField(id);
    }
    return;
  }
  l.WorkText.assign(line);
  StripTags({TXT("<TD"), TXT("</TD")});
  RemoveIn(l.WorkText, TXT(":"));
  WriteField(l.WorkText);
}

// The audio cell step by step.
void ReduceAudioCell() {
  Text& w = Listing.WorkText;
  ReplaceIn(w, TXT("<img src=\"/dd51.gif\">"), TXT(":AC3"));
  RemoveIn(w, TXT("<A title=\"AC3 (Dolby Digital 5.1)\">"));
  RemoveIn(w, TXT("aac "));
  StripTags({TXT("<TD"), TXT("</TD")});
  ReplaceIn(w, TXT(" <font color=\"blue\">"), TXT("="));
  ReplaceIn(w, TXT("<font color=\"blue\">"), TXT("="));
  ReplaceIn(w, TXT("<A title="), TXT(" "));
  RemoveIn(w, TXT("\""));
  ReplaceIn(w, TXT(">="), TXT("="));
  ReplaceIn(w, TXT("<br>"), TXT(" : "));
  StripTags({TXT("</A"), TXT("</font")});
  ShrinkBlanks(w);
}

// One service row, its first line in WorkText: a block of 13 field lines.
void ReduceServiceRow() {
  ListingState& l = Listing;
  Text& w = l.WorkText;
  const bool feedRow = Contains(w, TXT("feed"));
  WriteField(TXT("--->"));

  ReadLine();  // the picture cell tells the kind
  if (feedRow) {
    WriteField(TXT("feed"));
  } else if (Contains(w, TXT("zap.gif")) || Contains(w, TXT("/tv.gif"))) {
    WriteField(TXT("tv"));
  } else if (Contains(w, TXT("radio.gif"))) {
    WriteField(TXT("radio"));
  } else if (Contains(w, TXT("/data.gif"))) {
    WriteField(TXT("data"));
  } else {
    WriteField(Text());
  }

  ReadLine();  // the cell after the picture

  ReadLine();  // name
  if (!StripApartTags({TXT("<A"), TXT("</A"), TXT("<font"), TXT("</font"), TXT("</TD"), TXT("<img")},
                      {{TXT("<i>"), TXT("")}, {TXT("</i>"), TXT("")}})) {
    StripTags({TXT("<A"), TXT("</A"), TXT("<font"), TXT("</font"), TXT("</TD"), TXT("<img")});
    RemoveIn(w, TXT("<i>"));
    RemoveIn(w, TXT("</i>"));
  }
  WriteField(w);

  ReduceValueCell();  // country
  ReduceValueCell();  // genre

  ReadLine();  // providers
  if (!StripApartTags({TXT("<TD"), TXT("</TD"), TXT("<A"), TXT("</A")}, {{TXT("<br>"), TXT(" : ")}})) {
    ReplaceIn(w, TXT("<br>"), TXT(" : "));
    StripTags({TXT("<TD"), TXT("</TD"), TXT("<A"), TXT("</A")});
  }
  ShrinkBlanks(w);
  WriteField(w);

  ReduceValueCell();  // encryption
  ReduceIdCell();     // service id

  ReadLine();  // video, marked when HDTV or 3DTV
  Text& mark = l.CurrentLine;
  mark.clear();
  if (Contains(w, TXT("hd.gif")))
    mark = Contains(w, TXT("3dtv.gif")) ? TXT("3DTV ") : TXT("HDTV ");
  else if (Contains(w, TXT("3dtv.gif")))
    mark = TXT("3DTV ");
  StripTags({TXT("<A"), TXT("</A"), TXT("<img"), TXT("<TD"), TXT("</TD")});
  RemoveIn(w, TXT("H.265"));
  ShrinkBlanks(w);
  TrimIn(w);
  if (w.empty()) mark.clear();
  WriteField(mark + w);

  ReadLine();  // audio
  if (!ReduceUsualAudioCell()) ReduceAudioCell();
  WriteField(w);

  ReduceIdCell();  // PMT
  ReduceIdCell();  // PCR
  ReduceIdCell();  // teletext

  ReadLine();  // last cell
  if (!ReducePlainCell()) StripTags({TXT("<TD"), TXT("</TD"), TXT("<A"), TXT("</A")});
  WriteField(w);
  WriteField(TXT("<---"));
}

}  // namespace

void ReduceServiceTable() {
  ListingState& l = Listing;
  // The end tag of a table read just before stops this one at once.
  while (l.WorkText != TXT("</TABLE>")) {
    if (AtEndOfWorkFile(l.TempFileIn)) return;
    AssignTrimmed(l.WorkText, ReadWorkLine(l.TempFileIn));
    if (BeginsWith(l.WorkText, TXT("<TR")) && Find(l.WorkText, TXT("TD class="), 5) > 0)
      ReduceServiceRow();
  }
}
