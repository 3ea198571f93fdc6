// The bouquet editor on the Qt backend (run under QT_QPA_PLATFORM=offscreen):
// loading a 10,000-line bouquet file through the file requester, Shift-marking
// and deleting 5,000 services, dropping 5,000 marked services into the other
// tree. Goal: each figure at most 0.3 s and at most 3 times the headless
// figure of ovn_bench_tree_editor, which this program runs beside itself.
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "platform/gui_qt_internal.h"
#include "tree_editor_bench.h"

// Qt's own way of making a synthesized key event count as the user's, so that
// the keyboard state (Shift) follows it.
class QSpontaneKeyEvent {
 public:
  static void setSpontaneous(QEvent* e) { e->setSpontaneous(); }
};

namespace {

namespace fs = std::filesystem;

tree_bench::Backend* backendInUse = nullptr;

// Answers the next file requester with the path, as a user typing it would.
void AnswerNextFileDialog(const fs::path& file) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  const QString path = QString::fromStdString(file.string());
  QObject::connect(timer, &QTimer::timeout, [timer, path] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    dialog->selectFile(path);
    backendInUse->answeredAt = std::chrono::steady_clock::now();
    static_cast<QDialog*>(dialog)->accept();
  });
  timer->start();
}

void HoldShift(bool down) {
  QWidget* window = gui_qt::Widget(Gadgets.MainWindow);
  QKeyEvent key(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Shift,
                down ? Qt::ShiftModifier : Qt::NoModifier);
  QSpontaneKeyEvent::setSpontaneous(&key);
  QApplication::instance()->notify(window, &key);
}

// Figures of the headless benchmark beside this program, 0 when it is absent.
bool HeadlessFigures(const char* argv0, tree_bench::Figures& f, const fs::path& dir) {
  const fs::path program = fs::absolute(argv0).parent_path() / "ovn_bench_tree_editor";
  if (!fs::exists(program)) return false;
  const fs::path out = dir / "headless.txt";
  if (std::system(("\"" + program.string() + "\" > \"" + out.string() + "\"").c_str()) != 0) return false;
  std::ifstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const double ms = std::atof(line.c_str() + colon + 1);
    if (line.find("load") != std::string::npos) f.load = ms;
    if (line.find("Shift-mark") != std::string::npos) f.mark = ms;
    if (line.find("delete") != std::string::npos) f.remove = ms;
    if (line.find("drop") != std::string::npos) f.drop = ms;
  }
  return f.load > 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("ovn_bench_qt_trees_" + std::to_string(rd()));
  fs::create_directories(dir);
  gui::Init(argc, argv);
  ResetProgramState();
  BuildMainWindow();
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();

  tree_bench::Backend backend;
  backendInUse = &backend;
  backend.answerFileRequester = AnswerNextFileDialog;
  backend.holdShift = HoldShift;
  const tree_bench::Figures qt = tree_bench::Run(backend, dir);
  tree_bench::Print("Qt", qt);

  tree_bench::Figures headless;
  const bool compared = HeadlessFigures(argv[0], headless, dir);
  if (compared) tree_bench::Print("headless", headless);
  else std::printf("headless figures: ovn_bench_tree_editor not found beside this program\n");
  bool pass = qt.correct;
  const double figures[][2] = {{qt.load, headless.load}, {qt.remove, headless.remove}, {qt.drop, headless.drop}};
  for (const auto& pair : figures) {
    pass = pass && pair[0] <= 300.0;
    if (compared) pass = pass && pair[0] <= 3.0 * pair[1];
  }
  if (compared) {
    std::printf("Qt / headless: load %.2f, delete %.2f, drop %.2f (limit 3.00; each Qt figure at most 300 ms)\n",
                qt.load / headless.load, qt.remove / headless.remove, qt.drop / headless.drop);
  }
  gui::Shutdown();
  std::error_code ec;
  fs::remove_all(dir, ec);
  std::printf("%s\n", pass ? "PASS" : "FAIL");
  return 0;
}
