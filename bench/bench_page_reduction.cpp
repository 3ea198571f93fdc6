// Reduction and parsing of a generated 20 MB frequency page on the headless
// backend, against reading the same bytes line by line. Goal: 100 MB/s.
#include "page_reduction_bench.h"

#include "platform/gui_headless.h"
#include "shell/orbvane_xmlplus.h"

int main(int argc, char** argv) {
  headless::Reset();
  ResetProgramState();
  return page_bench::Run("headless", argc, argv) ? 0 : 1;
}
