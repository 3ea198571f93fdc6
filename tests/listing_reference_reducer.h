// A slow, plain reducer written line for line from the reduction rules, with
// the general text helpers only: every replacement is its own sweep over the
// whole text. The tests hold the program's reducer against it.
#pragma once

#include <string>
#include <vector>

#include "common/text.h"

namespace reference {

inline bool Has(const Text& s, const Text& pattern) { return Find(s, pattern) > 0; }
inline bool Begins(const Text& s, const Text& prefix) { return Left(s, static_cast<int>(prefix.size())) == prefix; }
inline bool Ends(const Text& s, const Text& suffix) { return Right(s, static_cast<int>(suffix.size())) == suffix; }
inline Text Rep(const Text& s, const Text& from, const Text& to) { return ReplaceAll(s, from, to); }
inline Text Shrink(const Text& s) { return Rep(Rep(s, TXT("   "), TXT(" ")), TXT("  "), TXT(" ")); }

// Each tag starting with start, up to the next ">" from its third character
// on, becomes one blank; a tag without end takes the rest of the text.
inline Text StripTag(Text w, const Text& start) {
  int n = Find(w, start);
  while (n > 0) {
    const int a = Find(w, TXT(">"), n + 2);
    if (a == 0) return Left(w, n - 1) + TXT(" ");
    w = Left(w, n - 1) + TXT(" ") + Mid(w, a + 1);
    n = Find(w, start, n);
  }
  return w;
}

inline Text StripTags(Text w, const std::vector<Text>& starts) {
  for (const Text& s : starts) w = StripTag(w, s);
  return w;
}

inline Text CutBefore(const Text& w, const Text& s) {
  const int n = Find(w, s);
  return n > 0 ? Mid(w, n) : w;
}

// The text a line of a wanted table adds to the temporary file; work is the
// working text as the line leaves it.
inline Text NormalisedLine(const Text& line, Text* work = nullptr) {
  Text w = StripTag(line, TXT("<div "));
  w = Rep(w, TXT("<td"), TXT("<TD"));
  w = Rep(w, TXT("</td"), TXT("</TD"));
  w = Rep(w, TXT("<tr"), TXT("<TR"));
  w = Rep(w, TXT("</tr"), TXT("</TR"));
  w = Rep(w, TXT("<br />"), TXT(" "));
  w = Rep(w, TXT(">&nbsp;<"), TXT("> <"));
  w = Rep(w, TXT("&nbsp;"), TXT(" "));
  w = Rep(w, TXT(" >"), TXT(">"));
  w = Rep(w, TXT("<a"), TXT("<A"));
  w = Rep(w, TXT("</a"), TXT("</A"));
  w = Rep(w, TXT("\t"), TXT(" "));
  w = Rep(w, TXT("</TD>"), TXT("</TD>\r\n"));
  w = Rep(w, TXT("</TR>"), TXT("</TR>\r\n"));
  if (work) *work = w;
  return Ends(w, TXT("\r\n")) ? Trim(w) : Trim(w) + TXT("\r\n");
}

// A page line as the first pass takes it.
inline Text CurrentLineOf(const Text& line) {
  Text c = Trim(line);
  c = Rep(c, TXT("<table"), TXT("<TABLE"));
  c = Rep(c, TXT("</table"), TXT("</TABLE"));
  c = Rep(c, TXT("</div>"), TXT(""));
  return Rep(c, TXT("<div>"), TXT(""));
}

// Lines end at CR LF, LF or CR; a last line needs no end.
inline std::vector<Text> Lines(const Text& text) {
  std::vector<Text> lines;
  size_t begin = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == Char('\r') || text[i] == Char('\n')) {
      lines.push_back(text.substr(begin, i - begin));
      if (text[i] == Char('\r') && i + 1 < text.size() && text[i + 1] == Char('\n')) ++i;
      begin = ++i;
    } else {
      ++i;
    }
  }
  if (begin < text.size()) lines.push_back(text.substr(begin));
  return lines;
}

// The reduction of one page: what it writes to the temporary and the reduced
// file, the complaints it shows (title, text) and the shared texts it leaves.
struct Reducer {
  Text currentLine;
  Text workText;
  Text temp;
  Text reduced;
  std::vector<std::pair<Text, Text>> complaints;

  bool tableNotFinishedShown = false;
  bool unexpectedTagShown = false;
  std::vector<Text> tempLines;
  size_t next = 0;

  void Complain(bool& shown, const Text& title, const Text& text) {
    if (shown) return;
    shown = true;
    complaints.emplace_back(title, text);
  }

  void FirstPass(const Text& page) {
    const Text headerMarker = TXT(" class=\"frq\"");
    const Text serviceMarker = TXT(" class=\"fl\"");
    const Text fullTag = TXT("<TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class=\"fl\">");
    bool outside = true;
    int depth = 0;
    for (const Text& line : Lines(page)) {
      currentLine = CurrentLineOf(line);
      workText = currentLine;
      if (Has(workText, headerMarker) || Has(workText, serviceMarker) || Has(workText, fullTag)) {
        if (depth > 0) Complain(tableNotFinishedShown, TXT("HTML error ?"), TXT("Table not finished."));
        outside = false;
      }
      if (!outside) {
        depth += CountOccurrences(workText, TXT("<TABLE"));
        if (depth > 0 && !workText.empty()) temp += NormalisedLine(workText, &workText);
        depth -= CountOccurrences(currentLine, TXT("</TABLE"));
        // More ends than starts close the table as well.
        if (depth <= 0) {
          depth = 0;
          outside = true;
        }
      }
    }
  }

  bool AtEnd() const { return next >= tempLines.size(); }
  Text Read() { return AtEnd() ? Text() : tempLines[next++]; }
  void ReadCell() { workText = Trim(Read()); }
  void Write(const Text& text) { reduced += Trim(text) + TXT("\r\n"); }

  void Header() {
    Text& w = workText;
    Text& line = currentLine;
    ReadCell();
    w = Rep(StripTags(w, {TXT("<TD"), TXT("</TD")}), TXT("&deg;"), TXT(""));
    line = TXT(" (") + Trim(w) + TXT(")");
    ReadCell();
    w = StripTags(CutBefore(w, TXT("</span")), {TXT("</span"), TXT("<A"), TXT("</A"), TXT("</TD")});
    line = Trim(w) + line + TXT(" - ");
    ReadCell();
    if (w.size() < 3) ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("</TD")});
    line += Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("</TD")});
    line += TXT(" ") + Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("<A"), TXT("</A"), TXT("</TD")});
    line += TXT(" - Txp: ") + Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("<A"), TXT("</A"), TXT("</TD")});
    line += TXT(" - Beam: ") + Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("</TD")});
    line += TXT("  ") + Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("</TD")});
    line += TXT(" (") + Trim(w) + TXT(")");
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("<A"), TXT("</A"), TXT("<A"), TXT("</A"), TXT("</TD")});
    line += TXT(" - ") + Trim(w);
    ReadCell();
    w = StripTags(w, {TXT("<TD"), TXT("<A"), TXT("<b"), TXT("</b"), TXT("</A"), TXT("</TD")});
    line += TXT(" (") + Trim(w) + TXT(")");
    ReadCell();
    w = Rep(StripTags(w, {TXT("<TD"), TXT("</TD")}), TXT(":"), TXT(""));
    line += TXT(" - NID:") + Trim(w);
    ReadCell();
    w = Rep(StripTags(w, {TXT("<TD"), TXT("</TD")}), TXT(":"), TXT(""));
    line += TXT(" - TID:") + Trim(w);
    Write(TXT("--->>>"));
    Write(Shrink(line));
    currentLine.clear();
    workText.clear();
  }

  void ServiceRow() {
    Text& w = workText;
    const bool feed = Has(w, TXT("feed"));
    Write(TXT("--->"));
    w = Read();
    if (feed)
      Write(TXT("feed"));
    else if (Has(w, TXT("zap.gif")) || Has(w, TXT("/tv.gif")))
      Write(TXT("tv"));
    else if (Has(w, TXT("radio.gif")))
      Write(TXT("radio"));
    else if (Has(w, TXT("/data.gif")))
      Write(TXT("data"));
    else
      Write(TXT(""));
    w = Read();
    w = Read();
    w = StripTags(w, {TXT("<A"), TXT("</A"), TXT("<font"), TXT("</font"), TXT("</TD"), TXT("<img")});
    w = Rep(Rep(w, TXT("<i>"), TXT("")), TXT("</i>"), TXT(""));
    Write(w);
    for (int i = 0; i < 2; ++i) {  // country, genre
      w = StripTags(Read(), {TXT("<TD"), TXT("</TD")});
      Write(w);
    }
    w = Rep(Read(), TXT("<br>"), TXT(" : "));
    w = Shrink(StripTags(w, {TXT("<TD"), TXT("</TD"), TXT("<A"), TXT("</A")}));
    Write(w);
    w = StripTags(Read(), {TXT("<TD"), TXT("</TD")});
    Write(w);
    w = Rep(StripTags(Read(), {TXT("<TD"), TXT("</TD")}), TXT(":"), TXT(""));
    Write(w);

    w = Read();
    currentLine.clear();
    if (Has(w, TXT("hd.gif")))
      currentLine = Has(w, TXT("3dtv.gif")) ? TXT("3DTV ") : TXT("HDTV ");
    else if (Has(w, TXT("3dtv.gif")))
      currentLine = TXT("3DTV ");
    w = StripTags(w, {TXT("<A"), TXT("</A"), TXT("<img"), TXT("<TD"), TXT("</TD")});
    w = Trim(Shrink(Rep(w, TXT("H.265"), TXT(""))));
    if (w.empty()) currentLine.clear();
    Write(currentLine + w);

    w = Rep(Read(), TXT("<img src=\"/dd51.gif\">"), TXT(":AC3"));
    w = Rep(w, TXT("<A title=\"AC3 (Dolby Digital 5.1)\">"), TXT(""));
    w = Rep(w, TXT("aac "), TXT(""));
    w = StripTags(w, {TXT("<TD"), TXT("</TD")});
    w = Rep(w, TXT(" <font color=\"blue\">"), TXT("="));
    w = Rep(w, TXT("<font color=\"blue\">"), TXT("="));
    w = Rep(w, TXT("<A title="), TXT(" "));
    w = Rep(w, TXT("\""), TXT(""));
    w = Rep(w, TXT(">="), TXT("="));
    w = Rep(w, TXT("<br>"), TXT(" : "));
    w = Shrink(StripTags(w, {TXT("</A"), TXT("</font")}));
    Write(w);

    for (int i = 0; i < 3; ++i) {  // PMT, PCR, teletext
      w = Rep(StripTags(Read(), {TXT("<TD"), TXT("</TD")}), TXT(":"), TXT(""));
      Write(w);
    }
    w = StripTags(Read(), {TXT("<TD"), TXT("</TD"), TXT("<A"), TXT("</A")});
    Write(w);
    Write(TXT("<---"));
  }

  void ServiceTable() {
    while (workText != TXT("</TABLE>")) {
      if (AtEnd()) return;
      workText = Trim(Read());
      if (Begins(workText, TXT("<TR")) && Find(workText, TXT("TD class="), 5) > 0) ServiceRow();
    }
  }

  void SecondPass() {
    tempLines = Lines(temp);
    next = 0;
    bool firstHeader = true;
    while (!AtEnd()) {
      currentLine = Trim(Read());
      if (!Begins(currentLine, TXT("<TABLE "))) continue;
      if (Has(currentLine, TXT(" class=\"frq\""))) {
        if (firstHeader)
          firstHeader = false;
        else
          Header();
      } else if (Has(currentLine, TXT(" class=\"fl\""))) {
        ServiceTable();
      } else {
        Complain(unexpectedTagShown, TXT("Not expected HTML tag...."), currentLine);
      }
    }
  }
};

// The audio field of a service block as "pid:code" lists; the languages met
// are appended to languages (name, code) unless already there.
inline void ParseAudio(Text a, Text& plain, Text& ac3, std::vector<std::pair<Text, Text>>& languages) {
  plain.clear();
  ac3.clear();
  a = Rep(a, TXT(" aac "), TXT(" "));
  a = Rep(a, TXT(":AC3 :"), TXT(":AC3:unk:"));
  a = Rep(a, TXT("  "), TXT(":"));
  a = Rep(a, TXT(" "), TXT(":"));
  a = Rep(a, TXT("::"), TXT(":"));
  int v = Find(a, TXT("=vo"));
  if (v > 0) {
    while (v > 2) {
      --v;
      if (a[v - 1] == Char(':')) {
        a[v - 1] = Char(' ');
        break;
      }
    }
  }
  const int n = CountOccurrences(a, TXT(":"));
  int j = 1;
  while (j <= n + 1) {
    Text pid = Field(a, j, TXT(":"));
    const Text next = Field(a, j + 1, TXT(":"));
    const bool isAc3 = next == TXT("AC3");
    const Text language = isAc3 ? Field(a, j + 2, TXT(":")) : next;
    pid = Field(pid, 1, TXT(" "));
    Text name = TXT("Unknown");
    Text code = TXT("unk");
    if (Find(language, TXT("=")) > 0) {
      name = Field(language, 1, TXT("="));
      code = Field(language, 2, TXT("="));
    } else {
      --j;
    }
    Text& list = isAc3 ? ac3 : plain;
    if (ParseInteger(pid) > 0) list += (list.empty() ? Text() : Text(TXT(";"))) + pid + TXT(":") + code;
    j += isAc3 ? 2 : 1;
    bool known = false;
    for (const auto& l : languages) known = known || l.first == name;
    if (code.size() > 1 && name.size() > 3 && !known) languages.emplace_back(name, code);
    ++j;
  }
}

}  // namespace reference
