// The bouquet editor's work on a 10,000-line bouquet file, run through the
// program's own handlers on whichever GUI backend the benchmark links: loading
// the file, Shift-marking 5,000 services, deleting them, and dropping 5,000
// marked services into the other tree. Shared by bench_tree_editor.cpp
// (headless) and qt/bench_tree_editor.cpp (Qt).
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "bouquets/bouqets.h"
#include "common/encoding.h"
#include "common/files.h"
#include "platform/gui.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"

namespace tree_bench {

namespace fs = std::filesystem;

constexpr int kBigBouquet = 6000;   // services of the first bouquet
constexpr int kSmallBouquets = 40;  // further bouquets of 100 services each
constexpr int kLines = kBigBouquet + kSmallBouquets * 100;
constexpr int kItems = 2 + kBigBouquet + kSmallBouquets * 101;
constexpr int kMarked = 5000;

// What differs between the backends: answering the file requester (the
// answer's moment is when the timing of a load starts) and the Shift key.
struct Backend {
  std::function<void(const fs::path& file)> answerFileRequester;
  std::function<void(bool down)> holdShift;
  std::chrono::steady_clock::time_point answeredAt{};
};

struct Figures {
  double load = 0;    // ms, one 10,000-line file into a tree
  double mark = 0;    // ms, Shift-click marking 5,000 services
  double remove = 0;  // ms, "Delete left" of the 5,000 marked services
  double drop = 0;    // ms, 5,000 marked services dropped into the other tree
  bool correct = true;
};

inline std::string Line(int bouquet, int seq, const char* type, const std::string& name, int service) {
  const std::string sid = std::to_string(1000 + service);
  return std::to_string(bouquet) + "\t" + std::to_string(seq) + "\t" + type + "\t" + name +
         "\tService " + std::to_string(service) + "\tProvider\t1\t19.2\t19.2E Astra 1KR\t11494000\t"
         "22000000\tH\t2/3\t" + sid + "\t03FB\t0001\t12582912\t0\t1601\t1602\t1604\t1601\t1606\t0\t"
         "DVB-S2\t8PSK\n";
}

inline void WriteBouquetFile(const fs::path& path) {
  std::string out = TextToFileBytes(EntryHeaderLine(true) + TXT("\r\n"));
  int service = 0;
  for (int s = 0; s < kBigBouquet; ++s) out += Line(0, s, "User Bouquets TV", "Big", service++);
  for (int b = 0; b < kSmallBouquets; ++b)
    for (int s = 0; s < 100; ++s)
      out += Line(b + 1, s, "User Bouquets TV", "Bouquet " + std::to_string(b), service++);
  std::ofstream(path, std::ios::binary) << out;
}

inline double Since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

inline void Click(int tree, int item) {
  gui::SetState(tree, item);
  TreeEvent(Gadgets.MainWindow, gui::kEventGadget, tree, gui::kLeftClick);
}

// Loads the file into the tree through its button; the time from the answer.
inline double Load(Backend& backend, const fs::path& file, int button) {
  backend.answerFileRequester(file);
  const auto pressed = std::chrono::steady_clock::now();
  backend.answeredAt = {};
  LoadTreePressed(Gadgets.MainWindow, gui::kEventGadget, button, gui::kLeftClick);
  return Since(backend.answeredAt.time_since_epoch().count() ? backend.answeredAt : pressed);
}

// Plain click on the first service of the big bouquet, Shift-click 4,999 below.
inline double MarkRange(Backend& backend, int tree) {
  const auto t0 = std::chrono::steady_clock::now();
  Click(tree, 2);
  backend.holdShift(true);
  Click(tree, 2 + kMarked - 1);
  backend.holdShift(false);
  return Since(t0);
}

inline int Marked(int tree) {
  int n = 0;
  for (const BouquetNode& node : *TreeNodes(tree)) n += node.mark != 0;
  return n;
}

// The main window must be built. Runs every step once and checks the trees.
inline Figures Run(Backend& backend, const fs::path& folder) {
  Figures f;
  const fs::path file = folder / "bouquets.txt";
  WriteBouquetFile(file);
  const int left = Gadgets.LeftTree;
  const int right = Gadgets.RightTree;
  gui::SetState(Gadgets.MainPanel, 2);

  f.load = Load(backend, file, Gadgets.LoadLeftButton);
  f.correct &= gui::CountItems(left) == kItems && static_cast<int>(TreeNodes(left)->size()) == kItems;
  Load(backend, file, Gadgets.LoadRightButton);

  f.mark = MarkRange(backend, left);
  f.correct &= Marked(left) == kMarked;
  auto t0 = std::chrono::steady_clock::now();
  DeleteTreePressed(Gadgets.MainWindow, gui::kEventGadget, Gadgets.DeleteLeftButton, gui::kLeftClick);
  f.remove = Since(t0);
  f.correct &= gui::CountItems(left) == kItems - kMarked &&
               static_cast<int>(TreeNodes(left)->size()) == kItems - kMarked;

  // Marks 5,000 services of the right tree and drops them onto the first
  // bouquet of the left tree, as the drop event of a drag would.
  MarkRange(backend, right);
  gui::SetState(left, 1);
  t0 = std::chrono::steady_clock::now();
  DropItems(left, right, 2 + kMarked - 1);
  f.drop = Since(t0);
  f.correct &= gui::CountItems(left) == kItems && static_cast<int>(TreeNodes(left)->size()) == kItems &&
               Marked(right) == 0 && gui::GetItemText(left, 2) == TXT("Service 0");
  return f;
}

inline void Print(const char* backend, const Figures& f) {
  std::printf("%s load 10,000 lines:       %8.1f ms\n", backend, f.load);
  std::printf("%s Shift-mark 5,000:        %8.1f ms\n", backend, f.mark);
  std::printf("%s delete 5,000 marked:     %8.1f ms\n", backend, f.remove);
  std::printf("%s drop 5,000 marked:       %8.1f ms\n", backend, f.drop);
  if (!f.correct) std::printf("%s: the trees do not hold what they should\n", backend);
}

}  // namespace tree_bench
