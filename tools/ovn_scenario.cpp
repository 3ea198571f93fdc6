// Scenario driver: runs the real program on the headless GUI backend in the
// current working folder, taking user actions and answers from a text file.
// The command language is described in docs/scenario.md.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/encoding.h"
#include "platform/gui.h"
#include "platform/gui_headless.h"
#include "bouquets/bouqets.h"
#include "shell/orbvane_xmlplus.h"

namespace {

struct Command {
  int line = 0;
  std::vector<std::string> args;  // args[0] is the command word
};

struct DriverState {
  std::string file;
  std::vector<Command> commands;
  size_t next = 0;         // next command to run
  int currentLine = 0;     // line of the command being run, 0 before any
  bool mainClosed = false;
  bool endReached = false;
};

DriverState D;

struct SyntaxError {
  int line;
  std::string reason;
};

// Splits at blanks; "..." holds blanks, with \" and \\ inside.
bool SplitArguments(const std::string& text, std::vector<std::string>& args, std::string& error) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string arg;
    if (text[i] == '"') {
      ++i;
      bool closed = false;
      while (i < text.size()) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
          arg += text[i + 1];
          i += 2;
        } else if (text[i] == '"') {
          closed = true;
          ++i;
          break;
        } else {
          arg += text[i++];
        }
      }
      if (!closed) {
        error = "unterminated quoted argument";
        return false;
      }
      if (i < text.size() && text[i] != ' ' && text[i] != '\t') {
        error = "text right after a closing quote";
        return false;
      }
    } else {
      while (i < text.size() && text[i] != ' ' && text[i] != '\t') arg += text[i++];
    }
    args.push_back(arg);
  }
  return true;
}

bool IsNumber(const std::string& s) {
  if (s.empty()) return false;
  size_t i = (s[0] == '-') ? 1 : 0;
  if (i >= s.size()) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return s.size() < 10;
}

// Expected argument counts: {min, max} after the command word (-1: any).
struct Grammar {
  const char* word;
  int min;
  int max;
};

const Grammar kGrammar[] = {
    {"file", 1, 1},      {"folder", 1, 1},    {"yes", 0, 0},      {"no", 0, 0},
    {"dialog", 1, 1},    {"click", 1, 2},     {"rightclick", 1, 2}, {"doubleclick", 2, 2},
    {"tick", 3, 3},      {"highlight", 2, -1}, {"tab", 2, 2},      {"choose", 2, 2},
    {"shift", 1, 1},     {"drag", 2, 2},      {"drop", 2, 2},     {"type", 1, 1},
    {"close", 1, 1},     {"expect", 2, 2},    {"dump", 0, 0},     {"pointer", 3, 3},
    {"droptext", 3, 3},  {"nodes", 1, 1},
};

void CheckSyntax(const Command& c) {
  const std::string& word = c.args[0];
  for (const Grammar& g : kGrammar) {
    if (word != g.word) continue;
    const int n = static_cast<int>(c.args.size()) - 1;
    if (n < g.min || (g.max >= 0 && n > g.max))
      throw SyntaxError{c.line, "wrong number of arguments for " + word};
    auto number = [&](size_t i) {
      if (!IsNumber(c.args[i])) throw SyntaxError{c.line, "not a number: " + c.args[i]};
    };
    if ((word == "click" || word == "rightclick") && n == 2) number(2);
    if (word == "doubleclick" || word == "tick" || word == "tab" || word == "choose" ||
        word == "drag")
      number(2);
    if ((word == "drop" || word == "droptext") && c.args[2] != "none") number(2);
    if (word == "pointer") {
      number(2);
      number(3);
    }
    if (word == "highlight" && !(n == 2 && c.args[2] == "none"))
      for (size_t i = 2; i < c.args.size(); ++i) number(i);
    if ((word == "tick" && c.args[3] != "on" && c.args[3] != "off") ||
        (word == "shift" && c.args[1] != "on" && c.args[1] != "off"))
      throw SyntaxError{c.line, "expected on or off"};
    return;
  }
  throw SyntaxError{c.line, "unknown command: " + word};
}

void ReadScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SyntaxError{0, "cannot read the scenario file"};
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') continue;
    Command c;
    c.line = line;
    std::string error;
    if (!SplitArguments(text, c.args, error)) throw SyntaxError{line, error};
    CheckSyntax(c);
    const std::string& word = c.args[0];
    // Answers are queued before start-up, in file order per kind.
    if (word == "file") {
      headless::QueueFileAnswer(c.args[1] == "cancel" ? Text() : Utf8ToText(c.args[1]));
    } else if (word == "folder") {
      headless::QueueFolderAnswer(c.args[1] == "cancel" ? Text() : Utf8ToText(c.args[1]));
    } else if (word == "yes" || word == "no") {
      headless::QueueYesNoAnswer(word == "yes");
    } else if (word == "dialog") {
      headless::QueueDialogAnswer(c.args[1]);
    } else {
      D.commands.push_back(c);
    }
  }
}

std::string Quote(const Text& text) {
  std::string out = "\"";
  for (char c : TextToUtf8(text)) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out + "\"";
}

void PrintRecord(const headless::DialogRecord& r) {
  std::cout << r.kind << " " << Quote(r.title);
  if (r.kind != "dialog") std::cout << " " << Quote(r.text);
  std::cout << " -> " << r.answer << std::endl;
}

int Gadget(const std::string& name) {
  const int gadget = headless::FindGadget(name);
  if (gadget == 0) headless::Fail("unknown gadget " + name);
  return gadget;
}

int Number(const std::string& s) { return std::stoi(s); }

// Runs one command; true when it pushed an event for the program.
bool RunCommand(const Command& c) {
  const std::string& word = c.args[0];
  const auto& a = c.args;
  if (word == "click" || word == "rightclick") {
    headless::UserClick(Gadget(a[1]), word == "click" ? gui::kLeftClick : gui::kRightClick,
                        a.size() > 2 ? Number(a[2]) : -1);
    return true;
  }
  if (word == "doubleclick") {
    headless::UserClick(Gadget(a[1]), gui::kLeftDoubleClick, Number(a[2]));
    return true;
  }
  if (word == "tick") {
    headless::UserTick(Gadget(a[1]), Number(a[2]), a[3] == "on");
    return false;
  }
  if (word == "highlight") {
    std::vector<int> rows;
    if (a[2] != "none")
      for (size_t i = 2; i < a.size(); ++i) rows.push_back(Number(a[i]));
    headless::UserHighlight(Gadget(a[1]), rows);
    return false;
  }
  if (word == "tab") {
    headless::UserChooseTab(Gadget(a[1]), Number(a[2]));
    return true;
  }
  if (word == "choose") {
    headless::UserChoose(Gadget(a[1]), Number(a[2]));
    return true;
  }
  if (word == "shift") {
    headless::UserShift(a[1] == "on");
    return false;
  }
  if (word == "pointer") {
    headless::UserPointer(Gadget(a[1]), Number(a[2]), Number(a[3]));
    return false;
  }
  if (word == "drag") {
    // A drop on the next line ends this drag; without one it is abandoned.
    if (D.next < D.commands.size() && D.commands[D.next].args[0] == "drop") {
      const Command& drop = D.commands[D.next++];
      headless::ScriptDrop(Gadget(drop.args[1]), drop.args[2] == "none" ? -1 : Number(drop.args[2]));
    }
    headless::UserDrag(Gadget(a[1]), Number(a[2]));
    return true;
  }
  if (word == "drop") headless::Fail("drop without a drag on the line before");
  if (word == "droptext") {
    headless::UserDropText(Gadget(a[1]), a[2] == "none" ? -1 : Number(a[2]), Utf8ToText(a[3]));
    return true;
  }
  if (word == "nodes") {
    const std::vector<BouquetNode>* nodes = TreeNodes(Gadget(a[1]));
    if (!nodes) headless::Fail(a[1] + " is no bouquet tree");
    std::cout << a[1] << " nodes=" << nodes->size() << "\n";
    for (size_t i = 0; i < nodes->size(); ++i) {
      const BouquetNode& n = (*nodes)[i];
      std::cout << "  " << i << " level=" << n.level << " mark=" << n.mark << " "
                << n.entry.BouquetNumber << " " << n.entry.SequenceNumber << " "
                << Quote(n.entry.BouquetType) << " " << Quote(n.entry.BouquetName) << " "
                << Quote(n.entry.ServiceName) << "\n";
    }
    std::cout << std::flush;
    return false;
  }
  if (word == "type") {
    const Text text = Utf8ToText(a[1]);
    if (!headless::UserEndLabelEdit(a[1] == "cancel" ? nullptr : &text))
      headless::Fail("no label edit in progress");
    return false;
  }
  if (word == "close") {
    const int window = headless::FindWindow(a[1]);
    if (window == 0) headless::Fail("no open window " + a[1]);
    headless::UserClose(window);
    if (a[1] == "MainWindow") D.mainClosed = true;
    return true;
  }
  if (word == "expect") {
    const Text actual = gui::GetText(Gadget(a[1]));
    if (actual != Utf8ToText(a[2]))
      headless::Fail("expect " + a[1] + ": wanted " + Quote(Utf8ToText(a[2])) + ", found " +
                     Quote(actual));
    return false;
  }
  if (word == "dump") {
    std::cout << headless::Dump() << std::flush;
    return false;
  }
  headless::Fail("unknown command " + word);
}

// Runs scenario lines until one gives the program an event.
bool Pump() {
  while (D.next < D.commands.size()) {
    const Command& c = D.commands[D.next++];
    D.currentLine = c.line;
    if (RunCommand(c)) return true;
  }
  if (!D.endReached) {
    D.endReached = true;
    if (!D.mainClosed) {
      const int window = headless::FindWindow("MainWindow");
      if (window) {
        headless::UserClose(window);
        D.mainClosed = true;
        return true;
      }
    }
  }
  return false;
}

std::string Where() {
  return D.file + ":" + (D.currentLine > 0 ? std::to_string(D.currentLine) : std::string("start-up"));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: ovn_scenario SCENARIO_FILE" << std::endl;
    return 2;
  }
  D.file = argv[1];
  headless::Reset();
  try {
    ReadScenario(D.file);
  } catch (const SyntaxError& e) {
    std::cerr << D.file << ":" << e.line << ": " << e.reason << std::endl;
    return 2;
  }
  headless::SetDialogHook(PrintRecord);
  headless::SetEventPump(Pump);
  gui::Init(argc, argv);
  try {
    RunProgram();
  } catch (const headless::ProgramExit& exit) {
    if (D.next < D.commands.size()) {
      std::cerr << D.file << ":" << D.commands[D.next].line
                << ": the program ended before this line" << std::endl;
      return 3;
    }
    const std::vector<std::string> unused = headless::UnusedAnswers();
    if (!unused.empty()) {
      std::cerr << D.file << ": answers left unused at the end:";
      for (const std::string& u : unused) std::cerr << " [" << u << "]";
      std::cerr << std::endl;
      return 3;
    }
    return exit.code;
  } catch (const headless::ScriptFailure& failure) {
    std::cerr << Where() << ": " << failure.reason << std::endl;
    return 1;
  }
  std::cerr << Where() << ": the program returned without ending" << std::endl;
  return 1;
}
