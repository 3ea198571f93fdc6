// Reading the reduced file's blocks into satellites, transponders and services
// of the download document.
#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/orbvane_xmlplus.h"

using namespace listing_text;

namespace {

void ReadTrimmedLine(WorkFileReader& reader, Text& line) { AssignTrimmed(line, ReadWorkLine(reader)); }

}  // namespace

void ParseReducedFile(const Text& reducedFile, const Text& name, const Text& position,
                      const Text& url) {
  ListingState& l = Listing;
  if (!AddSatellite(name, position, url)) {
    gui::ShowMessage(TXT("XML create error ?"), TXT("XML not produced."), gui::kMessageOk);
    return;
  }
  WorkFileReader reader;
  if (!OpenWorkFile(reader, reducedFile)) {
    gui::ShowMessage(TXT("File not found error."), TXT("What..") + reducedFile, gui::kMessageOk);
    return;
  }
  // Service blocks count only under an accepted transponder header.
  bool valid = false;
  int serviceRows = 0;
  while (!AtEndOfWorkFile(reader)) {
    gui::PollEvent();
    ReadTrimmedLine(reader, l.WorkText);
    if (BeginsWith(l.WorkText, TXT("--->>>"))) {
      ReadTrimmedLine(reader, l.WorkText);
      valid = false;
      if (Contains(l.WorkText, TXT("DVB-S"))) {
        switch (AddTransponder()) {
          case TransponderResult::Created: valid = true; break;
          case TransponderResult::Skipped: break;
          case TransponderResult::Failed:
            gui::ShowMessage(TXT("Transponder error."), l.WorkText, gui::kMessageOk);
            break;
        }
      }
    } else if (valid && BeginsWith(l.WorkText, TXT("--->"))) {
      // 13 field lines and the block's closing line.
      for (int i = 0; i < 14; ++i) ReadTrimmedLine(reader, l.ServiceFields[i]);
      for (int i = 14; i < kServiceFieldCount; ++i) l.ServiceFields[i].clear();
      AddService();
      ++serviceRows;
    }
  }
  // A transponder whose table shows no service is hidden on the site.
  if (valid && serviceRows == 0 && Shell.DiscardHiddenFlag) {
    xml::DeleteNode(l.CurrentTransponder);
    l.CurrentTransponder = nullptr;
    l.TransponderSids.clear();
  }
}
