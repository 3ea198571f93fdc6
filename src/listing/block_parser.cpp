// Reading the reduced file's blocks into satellites, transponders and services
// of the download document.
#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/orbvane_xmlplus.h"

using namespace listing_text;

namespace {

Text NextTrimmedLine(WorkFileReader& reader) { return Trimmed(ReadWorkLine(reader)); }

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
    l.WorkText = NextTrimmedLine(reader);
    if (BeginsWith(l.WorkText, TXT("--->>>"))) {
      l.WorkText = NextTrimmedLine(reader);
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
      l.ServiceFields.fill(Text());
      // 13 field lines and the block's closing line.
      for (int i = 0; i < 14; ++i) l.ServiceFields[i] = NextTrimmedLine(reader);
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
