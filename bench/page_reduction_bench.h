// The page reduction benchmark shared by both backends: a generated frequency
// page of about 20 MB is reduced and parsed into the download document, and
// the same bytes are read line by line for comparison.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include "../tests/listing_page_builder.h"
#include "common/files.h"
#include "listing/htmllib.h"
#include "platform/xml_doc.h"
#include "shell/xml_defs.h"

namespace page_bench {

namespace fs = std::filesystem;

constexpr size_t kPageBytes = size_t(20) << 20;
constexpr double kGoalMegabytesPerSecond = 100.0;
constexpr int kRuns = 5;

inline std::string MakePage(size_t pageBytes = kPageBytes) {
  using namespace page_builder;
  const char* const names[] = {"Das Erste HD", "ZDF HD", "3sat HD", "arte HD", "KiKA HD", "phoenix HD",
                               "Rai 1 HD", "Rai 2", "TVE Internacional", "France 24"};
  const char* const countries[] = {"Germany", "Italy", "Spain", "France", "Austria"};
  const char* const providers[] = {"ARD", "ZDFvision", "RAI", "Sky Italia", "ORF"};
  std::string tables = SatelliteTable();
  int sid = 1;
  for (int tp = 0; tables.size() < pageBytes; ++tp) {
    HeaderCells h;
    h.frequency = std::to_string(10700 + (tp % 400) * 5);
    h.polarization = tp % 2 ? "H" : "V";
    h.tid = std::to_string(1000 + tp);
    tables += HeaderTable(h);
    std::vector<ServiceRow> rows;
    for (int s = 0; s < 30; ++s, ++sid) {
      ServiceRow r;
      r.picture = s % 6 == 5 ? "/radio.gif" : "/tv.gif";
      r.name = names[s % 10];
      r.country = countries[tp % 5];
      r.genre = s % 3 ? "General" : "News";
      r.providers = {providers[tp % 5]};
      r.crypt = s % 4 ? "" : "Conax Irdeto Nagra 3";
      r.sid = std::to_string(sid);
      r.video = std::to_string(100 + s);
      r.hd = s % 2 == 0;
      r.audio = {{std::to_string(200 + s), "Deutsch", "deu", false},
                 {std::to_string(300 + s), "English", "eng", true}};
      r.pmt = std::to_string(400 + s);
      r.pcr = r.video;
      r.txt = std::to_string(500 + s);
      rows.push_back(r);
    }
    tables += ServiceTable(rows);
  }
  return Page(tables);
}

inline double Seconds(const std::function<void()>& work) {
  double best = 1e9;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// Reading the page line by line: the least any reduction has to do.
inline size_t ReadLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  size_t lines = 0;
  while (std::getline(in, line)) ++lines;
  return lines;
}

// Runs the benchmark in a folder of its own; prints the figures and returns
// whether the goal was met. A smaller page (megabytes as the program's
// argument) suits profilers that run the program many times slower.
inline bool Run(const char* backend, int argc = 0, char** argv = nullptr) {
  const size_t pageBytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) << 20 : kPageBytes;
  const fs::path folder = fs::temp_directory_path() / "ovn_bench_page_reduction";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder / "ovn_work");
  const fs::path previous = fs::current_path();
  fs::current_path(folder);

  const std::string page = MakePage(pageBytes);
  { std::ofstream(fs::path("ovn_work") / "bench.html", std::ios::binary) << page; }
  const double megabytes = static_cast<double>(page.size()) / (1 << 20);

  size_t lines = 0;
  const double readSeconds = Seconds([&] { lines = ReadLines(fs::path("ovn_work") / "bench.html"); });
  int transponders = 0;
  double bestReduction = 1e9, bestParsing = 1e9;
  const double reduceSeconds = Seconds([&] {
    NewDownloadDoc();
    const auto start = std::chrono::steady_clock::now();
    ReducePage(TXT("ovn_work/bench.html"), TXT("ovn_work/bench.txt"));
    const auto reduced = std::chrono::steady_clock::now();
    ParseReducedFile(TXT("ovn_work/bench.txt"), TXT("Bench"), TXT("13.0E"), TXT("url"));
    const auto parsed = std::chrono::steady_clock::now();
    bestReduction = std::min(bestReduction, std::chrono::duration<double>(reduced - start).count());
    bestParsing = std::min(bestParsing, std::chrono::duration<double>(parsed - reduced).count());
    transponders = xml::ChildCount(xml::ChildByPosition(xml::RootElement(DownloadDoc), 1));
  });
  xml::FreeSlot(DownloadDoc);

  const double rate = megabytes / reduceSeconds;
  std::printf("backend: %s\n", backend);
  std::printf("page: %.1f MB, %zu lines, %d transponders\n", megabytes, lines, transponders);
  std::printf("reading line by line:  %8.1f ms  %8.1f MB/s\n", readSeconds * 1000, megabytes / readSeconds);
  std::printf("reduction and parsing: %8.1f ms  %8.1f MB/s\n", reduceSeconds * 1000, rate);
  std::printf("  of which reduction:  %8.1f ms, parsing: %.1f ms (best runs)\n", bestReduction * 1000,
              bestParsing * 1000);
  std::printf("ratio reduction/reading: %.1f\n", reduceSeconds / readSeconds);
  const bool pass = rate >= kGoalMegabytesPerSecond;
  std::printf("%s: goal %.0f MB/s\n", pass ? "PASS" : "FAIL", kGoalMegabytesPerSecond);

  fs::current_path(previous);
  fs::remove_all(folder, ec);
  return pass;
}

}  // namespace page_bench
