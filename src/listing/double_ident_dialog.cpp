// The question about two services with one service id in a transponder: a
// small window of its own with its own wait loop, left only by its buttons.
#include "listing/htmllib.h"
#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"

namespace {

struct DialogButton {
  const char* name;
  int x, y, w, h;
  const Char* label;
  bool defaultStyle;
  DoubleIdentChoice choice;
};

const DialogButton kButtons[] = {
    {"KeepFirstButton", 340, 70, 50, 20, TXT("Keep"), false, DoubleIdentChoice::KeepFirst},
    {"KeepSecondButton", 340, 95, 50, 20, TXT("Keep"), false, DoubleIdentChoice::KeepSecond},
    {"KeepBothButton", 240, 120, 100, 20, TXT("Keep both"), false, DoubleIdentChoice::KeepBoth},
    {"MergeOneIntoTwoButton", 125, 120, 100, 20, TXT("Merge 1 into 2"), true,
     DoubleIdentChoice::MergeOneIntoTwo},
    {"MergeTwoIntoOneButton", 10, 120, 100, 20, TXT("Merge 2 into 1"), true,
     DoubleIdentChoice::MergeTwoIntoOne},
};
constexpr int kButtonCount = sizeof(kButtons) / sizeof(kButtons[0]);

}  // namespace

int OpenDoubleIdentDialog(const Text& satellite, const Text& transponder, const Text& ident,
                          const Text& service1, const Text& service2, int buttons[5]) {
  const int main = Gadgets.MainWindow;
  gui::UseWindow(main);  // the dialog belongs to the main window
  const int window = gui::OpenWindow("DoubleIdentDialog", gui::WindowX(main), gui::WindowY(main),
                                     400, 155, TXT("Double service ident within transponder"),
                                     gui::kWindowDialog);
  if (window == 0) return 0;
  gui::CreateTextLabel("SatelliteLabel", 10, 15, 100, 20, TXT("Satellite"));
  gui::CreateTextLabel("TransponderLabel", 10, 35, 100, 20, TXT("Transponder"));
  gui::CreateTextLabel("IdentLabel", 10, 55, 100, 20, TXT("Ident"));
  gui::CreateTextLabel("Service1Label", 10, 75, 100, 20, TXT("Service 1"));
  gui::CreateTextLabel("Service2Label", 10, 100, 100, 20, TXT("Service 2"));
  gui::CreateTextLabel("SatelliteText", 110, 15, 220, 20, satellite);
  gui::CreateTextLabel("TransponderText", 110, 35, 150, 20, transponder);
  gui::CreateTextLabel("IdentText", 110, 55, 150, 20, ident);
  gui::CreateTextLabel("Service1Text", 110, 75, 220, 20, service1);
  gui::CreateTextLabel("Service2Text", 110, 100, 220, 20, service2);
  for (int k = 0; k < kButtonCount; ++k) {
    const DialogButton& b = kButtons[k];
    buttons[k] = gui::CreateButton(b.name, b.x, b.y, b.w, b.h, b.label, b.defaultStyle);
  }
  return window;
}

DoubleIdentChoice AskDoubleIdent(const Text& satellite, const Text& transponder, const Text& ident,
                                 const Text& service1, const Text& service2) {
  int buttons[kButtonCount] = {};
  const int window = OpenDoubleIdentDialog(satellite, transponder, ident, service1, service2, buttons);
  Shell.DoubleIdentDialog = window;
  // Without a window or its buttons nobody could answer: both services stay.
  bool usable = window != 0;
  for (int button : buttons) usable = usable && button != 0;

  // Every other event, the close box included, is taken and dropped.
  DoubleIdentChoice choice = DoubleIdentChoice::KeepBoth;
  for (bool answered = !usable; !answered;) {
    const gui::Event event = gui::WaitEvent();
    if (event.kind != gui::kEventGadget) continue;
    for (int k = 0; k < kButtonCount; ++k) {
      if (event.gadget == buttons[k]) {
        choice = kButtons[k].choice;
        answered = true;
      }
    }
  }

  gui::CloseWindow(window);
  Shell.DoubleIdentDialog = 0;
  return choice;
}
