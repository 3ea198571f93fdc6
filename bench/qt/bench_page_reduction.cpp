// Reduction and parsing of a generated 20 MB frequency page on the Qt backend
// (run under QT_QPA_PLATFORM=offscreen) with the main window shown, so every
// event drained per line goes through Qt. Goal: 100 MB/s, as on the headless
// backend.
#include "page_reduction_bench.h"

#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"

int main(int argc, char** argv) {
  gui::Init(argc, argv);
  ResetProgramState();
  BuildMainWindow();
  gui::PollEvent();
  const bool pass = page_bench::Run("Qt");
  gui::Shutdown();
  return pass ? 0 : 1;
}
