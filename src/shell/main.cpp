// The program on the desktop toolkit.
#include "platform/gui.h"
#include "shell/orbvane_xmlplus.h"

int main(int argc, char** argv) {
  gui::Init(argc, argv);
  RunProgram();
}
