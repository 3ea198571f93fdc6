// Transponder header tables: their twelve cells into one header line of the
// reduced file, and a header line into a transponder element; the satellite
// element of a page.
#include <initializer_list>

#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/xml_doc.h"
#include "shell/xml_defs.h"

using namespace listing_text;

namespace {

void ReadCell() { AssignTrimmed(Listing.WorkText, ReadWorkLine(Listing.TempFileIn)); }

Text Cell() { return Trimmed(Listing.WorkText); }

// A cell in <TD ...> ... </TD>: its text without the two tags.
Text PlainCell() {
  StripTags({TXT("<TD"), TXT("</TD")});
  return Cell();
}

}  // namespace

void ReduceTransponderHeader() {
  ListingState& l = Listing;
  Text& line = l.CurrentLine;

  ReadCell();  // position
  StripTags({TXT("<TD"), TXT("</TD")});
  RemoveIn(l.WorkText, TXT("&deg;"));
  line = TXT(" (") + Cell() + TXT(")");

  ReadCell();  // satellite name, behind a span
  CutBefore(TXT("</span"));
  StripTags({TXT("</span"), TXT("<A"), TXT("</A"), TXT("</TD")});
  line = Cell() + line + TXT(" - ");

  ReadCell();  // frequency; a stray empty line before it is skipped
  if (l.WorkText.size() < 3) ReadCell();
  line += PlainCell();

  ReadCell();  // polarization
  line += TXT(" ") + PlainCell();

  ReadCell();  // transponder number
  StripTags({TXT("<TD"), TXT("<A"), TXT("</A"), TXT("</TD")});
  line += TXT(" - Txp: ") + Cell();

  ReadCell();  // beam
  StripTags({TXT("<TD"), TXT("<A"), TXT("</A"), TXT("</TD")});
  line += TXT(" - Beam: ") + Cell();

  ReadCell();  // system
  line += TXT("  ") + PlainCell();

  ReadCell();  // modulation
  line += TXT(" (") + PlainCell() + TXT(")");

  ReadCell();  // symbol rate and FEC
  StripTags({TXT("<TD"), TXT("<A"), TXT("</A"), TXT("<A"), TXT("</A"), TXT("</TD")});
  line += TXT(" - ") + Cell();

  ReadCell();  // tenth cell
  StripTags({TXT("<TD"), TXT("<A"), TXT("<b"), TXT("</b"), TXT("</A"), TXT("</TD")});
  line += TXT(" (") + Cell() + TXT(")");

  ReadCell();  // network id
  StripTags({TXT("<TD"), TXT("</TD")});
  RemoveIn(l.WorkText, TXT(":"));
  line += TXT(" - NID:") + Cell();

  ReadCell();  // transponder id
  StripTags({TXT("<TD"), TXT("</TD")});
  RemoveIn(l.WorkText, TXT(":"));
  line += TXT(" - TID:") + Cell();

  WriteWorkLine(l.ReducedFileOut, TXT("--->>>"));
  ShrinkBlanks(line);
  WriteWorkLine(l.ReducedFileOut, line);
  l.CurrentLine.clear();
  l.WorkText.clear();
}

TransponderResult AddTransponder() {
  ListingState& l = Listing;
  Text w = l.WorkText;
  if (Contains(w, TXT("16APSK"))) return TransponderResult::Skipped;
  w = Mid(w, Find(w, TXT(")")) + 1);
  const Text frequencyAndPolarization = Trim(Field(w, 2, TXT("-")));
  const int length = static_cast<int>(frequencyAndPolarization.size());
  const Text polarization = Right(frequencyAndPolarization, 1);
  const Text frequency = Left(frequencyAndPolarization, length - 2);

  xml::XmlNode* transponder = xml::AppendElement(l.CurrentSatellite, TXT("transponder"));
  if (!transponder) return TransponderResult::Failed;
  l.CurrentTransponder = transponder;
  l.TransponderSids.clear();
  ++l.TransponderCount;

  ReplaceIn(w, TXT("DVB-S"), TXT("DVB_S"));
  xml::SetAttribute(transponder, TXT("frequency"), frequency);
  xml::SetAttribute(transponder, TXT("polarization"), polarization);

  int start = Find(w, TXT("NID:"), 1) + 4;
  const int nidEnd = Find(w, TXT("-"), start);
  xml::SetAttribute(transponder, TXT("nid"), Trim(Mid(w, start, nidEnd - start)));

  start = Find(w, TXT("TID: "), nidEnd) + 5;
  if (start < 7) start = Find(w, TXT("TID:"), nidEnd) + 4;
  const int tidEnd = Find(w, TXT(" "), start);
  Text tid;
  if (tidEnd == 0) {
    int tail = static_cast<int>(w.size()) - start + 1;
    if (tail == 0) tail = 1;
    tid = Right(w, tail);
  } else {
    tid = Mid(w, start, tidEnd - start);
  }
  xml::SetAttribute(transponder, TXT("tid"), Trim(tid));

  xml::SetAttribute(transponder, TXT("msys"),
                    Contains(w, TXT("DVB_S2"))  ? TXT("DVB-S2")
                    : Contains(w, TXT("DVB_S")) ? TXT("DVB-S")
                                                : TXT("***"));
  xml::SetAttribute(transponder, TXT("mtyp"),
                    Contains(w, TXT("QPSK"))   ? TXT("QPSK")
                    : Contains(w, TXT("8PSK")) ? TXT("8PSK")
                                               : TXT("***"));

  start = Find(w, TXT("PSK) - "), 1) + 7;
  const int rateEnd = Find(w, TXT(" "), start + 1);
  xml::SetAttribute(transponder, TXT("symbol_rate"), Trim(Mid(w, start, rateEnd - start)));
  const int fecEnd = Find(w, TXT(" "), rateEnd + 1);
  const Text fec = Trim(Mid(w, rateEnd, fecEnd - rateEnd));
  xml::SetAttribute(transponder, TXT("fec_inner"), fec.empty() ? Text(TXT("AUTO")) : fec);
  return TransponderResult::Created;
}

bool AddSatellite(const Text& name, const Text& position, const Text& url) {
  ListingState& l = Listing;
  xml::XmlNode* satellite = xml::AppendElement(xml::RootElement(DownloadDoc), TXT("satellite"));
  if (!satellite) return false;
  xml::SetAttribute(satellite, TXT("name"), name);
  xml::SetAttribute(satellite, TXT("position"), position);
  xml::SetAttribute(satellite, TXT("url"), url);
  l.CurrentSatellite = satellite;
  ++l.SatelliteCount;
  return true;
}
