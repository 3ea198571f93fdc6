// Getting one satellite's page into the work folder: download, size check,
// retries and the questions, then reduction and parsing.
#include <algorithm>
#include <chrono>
#include <thread>

#include "common/files.h"
#include "listing/htmllib.h"
#include "platform/gui.h"
#include "platform/http_download.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"

namespace {

long long PageSize(const Text& path) {
  if (!CanOpenForReading(path)) return 0;
  const int64_t size = FileSize(path);
  return size < 0 ? 0 : size;
}

// The window stays painted during the wait; events taken are dropped.
void WaitBeforeRetry() {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(Listing.RetryWaitMilliseconds);
  while (Clock::now() < end) {
    gui::PollEvent();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(50)));
  }
}

}  // namespace

void FetchSatellitePage(const Text& name, const Text& position, const Text& basePath,
                        const Text& url, int statusGadget) {
  const Text pageFile = basePath + TXT(".html");
  const Text reducedFile = basePath + TXT(".txt");
  if (!Shell.ReuseDownloadsFlag) DeleteFileAt(pageFile);
  DeleteFileAt(reducedFile);
  gui::SetText(statusGadget, TXT("Receiving page ") + name);

  int badChecks = 0;
  bool done = false;
  bool downloadAgain = false;
  while (!done) {
    gui::PollEvent();
    if (!Shell.ReuseDownloadsFlag || downloadAgain) {
      gui::PollEvent();
      Text error;
      net::DownloadToFile(url, pageFile, error);
      gui::PollEvent();
      downloadAgain = false;
    }
    if (PageSize(pageFile) <= kSmallestBadPageSize) {
      if (gui::GetState(Gadgets.AutoRetryCheck) == 1) {
        ++badChecks;
        downloadAgain = badChecks < kAutoRetryChecks;
      } else if (Shell.ReuseDownloadsFlag) {
        downloadAgain = gui::ShowMessage(TXT("File not present or small file size ?"),
                                         name + TXT("\r Try downloading ?"),
                                         gui::kMessageYesNo) == gui::kAnswerYes;
      } else {
        downloadAgain = gui::ShowMessage(TXT("Download failed or small file size ?"),
                                         name + TXT("\r Try downloading again ?"),
                                         gui::kMessageYesNo) == gui::kAnswerYes;
      }
      if (downloadAgain) {
        gui::SetText(statusGadget, TXT("Wait 2 seconds before download ") + name);
        WaitBeforeRetry();
      } else {
        done = true;  // the satellite is passed over
      }
    } else {
      gui::SetText(statusGadget, TXT("Remove HTML ") + name);
      gui::PollEvent();
      ReducePage(pageFile, reducedFile);
      gui::SetText(statusGadget, TXT("Parsing data ") + name);
      ParseReducedFile(reducedFile, name, position, url);
      done = true;
    }
  }
  gui::SetText(statusGadget, TXT("Done ") + name);
  DeleteFileAt(reducedFile);
}
