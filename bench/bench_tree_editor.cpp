// The bouquet editor on the headless backend: loading a 10,000-line bouquet
// file, Shift-marking and deleting 5,000 services, dropping 5,000 marked
// services into the other tree. These are the reference figures of the Qt
// benchmark (bench/qt/bench_tree_editor.cpp), which runs this program.
#include <filesystem>
#include <random>

#include "platform/gui_headless.h"
#include "tree_editor_bench.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("ovn_bench_trees_" + std::to_string(rd()));
  fs::create_directories(dir);
  headless::Reset();
  gui::Init(argc, argv);
  ResetProgramState();
  BuildMainWindow();

  tree_bench::Backend backend;
  backend.answerFileRequester = [](const fs::path& file) { headless::QueueFileAnswer(FromFsPath(file)); };
  backend.holdShift = [](bool down) { headless::UserShift(down); };
  const tree_bench::Figures f = tree_bench::Run(backend, dir);
  tree_bench::Print("headless", f);
  std::error_code ec;
  fs::remove_all(dir, ec);
  std::printf("%s\n", f.correct ? "PASS" : "FAIL");
  return 0;
}
