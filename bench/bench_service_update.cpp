// Speed of the service update: a generated 7,500-line bouquet export against a
// generated data file of 40,000 services, the program's UpdateServices (index
// of the data file built once per run) against the plain walk of the data file
// for every service, in the same run. Both must give the same report and the
// same entries; the update may take at most 0.3 s.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "../tests/service_walk_reference.h"
#include "bouquets/bouqets.h"
#include "bouquets/service_update.h"
#include "common/encoding.h"
#include "common/files.h"
#include "platform/gui.h"
#include "platform/gui_headless.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"
#include "shell/xml_defs.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSatellites = 10;
constexpr int kTransponders = 100;  // per satellite
constexpr int kServices = 40;       // per transponder
constexpr int kExportLines = 7500;
constexpr double kGoalSeconds = 0.3;

const char* const kNames[] = {"Das Erste HD", "ZDF HD", "3sat HD", "arte HD", "KiKA HD",
                              "phoenix HD", "ONE HD", "tagesschau24 HD", "BR Fernsehen Nord HD",
                              "hr-fernsehen HD", "MDR Sachsen HD", "NDR FS NDS HD"};

struct Service {
  int satellite, transponder, sid, mhz;
  char polarization;
  std::string name;
};

std::string Position(int satellite) {
  return std::to_string(satellite * 7 % 90) + "." + std::to_string(satellite % 10) +
         (satellite % 3 == 0 ? "W" : "E");
}

// A data file laid out as the program saves it, and the services in it.
std::string MakeDataFile(std::vector<Service>& services) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_list>\r\n";
  int sid = 1000;
  for (int s = 0; s < kSatellites; ++s) {
    out += "   <satellite name=\"Sat " + std::to_string(s) + "\" position=\"" + Position(s) +
           "\" url=\"https://example.invalid/" + Position(s) + "\">\r\n";
    for (int t = 0; t < kTransponders; ++t) {
      const int mhz = 10700 + t * 20;
      const char pol = t % 2 ? 'V' : 'H';
      out += "      <transponder frequency=\"" + std::to_string(mhz) + "\" polarization=\"" + pol +
             "\" nid=\"1\" tid=\"" + std::to_string(1000 + t) +
             "\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"22000\" fec_inner=\"2/3\">\r\n";
      for (int v = 0; v < kServices; ++v, ++sid) {
        const std::string name = kNames[(v + t) % 12];
        const int pid = 100 + v * 10;
        out += "         <service type=\"hdtv\" name=\"" + name +
               "\" country=\"Germany\" genre=\"General\" provider=\"ARD\" crypt=\"\" sid=\"" +
               std::to_string(sid) + "\" vpid=\"" + std::to_string(pid + 1) + "\" audio=\"" +
               std::to_string(pid + 2) + ":deu;" + std::to_string(pid + 3) + ":mis\" pmt=\"" +
               std::to_string(pid) + "\" pcr=\"" + std::to_string(pid + 1) + "\" txt=\"" +
               std::to_string(pid + 4) + "\"/>\r\n";
        services.push_back(Service{s, t, sid, mhz, pol, name});
      }
      out += "      </transponder>\r\n";
    }
    out += "   </satellite>\r\n";
  }
  return out + "</orbvane_list>\r\n";
}

// Export lines: services of the data file, a part of them with other PIDs, a
// moved or slightly shifted transponder, another satellite name, or gone.
std::vector<Text> MakeExport(const std::vector<Service>& services) {
  std::mt19937 random(7);
  std::vector<Text> lines{EntryHeaderLine(true)};
  for (int i = 0; i < kExportLines; ++i) {
    const Service& s = services[random() % services.size()];
    const unsigned kind = random() % 20;
    int khz = s.mhz * 1000 + static_cast<int>(random() % 400) - 200;
    if (kind == 0) khz += 40000;  // moved: found by the second pass
    const std::string sid = kind == 1 ? "99" + std::to_string(s.sid) : std::to_string(s.sid);  // gone
    std::string position = Position(s.satellite);
    position = (position.back() == 'W' ? "-" : "") + position.substr(0, position.size() - 1);
    const std::string satName = kind == 2 ? "Renamed" : Position(s.satellite) + " Sat " + std::to_string(s.satellite);
    const std::string vpid = std::to_string(kind < 6 ? 5000 : 101 + (s.sid - 1000) % kServices * 10);
    const std::string line = "0\t" + std::to_string(i) + "\tUser Bouquets TV\tBouquet " +
                             std::to_string(i / 100) + "\t" + s.name + "\tARD\t25\t" + position +
                             "\t" + satName + "\t" + std::to_string(khz) + "\t22000000\t" +
                             s.polarization + "\t2/3\t" + sid + "\t1\t1\t0\t0\t" + vpid +
                             "\t\t\t\t\t0\tDVB-S2\t8PSK";
    lines.push_back(Utf8ToText(line));
  }
  return lines;
}

// The right tree and its node list filled from the export lines.
void FillRightTree(const std::vector<Text>& lines) {
  gui::ClearItems(Gadgets.RightTree);
  Bouquets.RightNodes.clear();
  Text lastName;
  for (size_t i = 1; i < lines.size(); ++i) {
    const BouquetEntry entry = ParseEntryLine(lines[i]);
    if (i == 1) {
      gui::AddItem(Gadgets.RightTree, -1, entry.BouquetType, 0, 0);
      Bouquets.RightNodes.push_back(BouquetNode{0, 0, entry});
    }
    if (i == 1 || entry.BouquetName != lastName) {
      gui::AddItem(Gadgets.RightTree, -1, entry.BouquetName, 0, 1);
      Bouquets.RightNodes.push_back(BouquetNode{1, 0, entry});
    }
    gui::AddItem(Gadgets.RightTree, -1, entry.ServiceName, 0, 2);
    Bouquets.RightNodes.push_back(BouquetNode{2, 0, entry});
    lastName = entry.BouquetName;
  }
}

// The update's loop over the services with the plain walk instead of the index.
void PlainUpdate() {
  const bool within = gui::GetState(Gadgets.FindWithinSatelliteCheck) == 1;
  ServiceUpdate.Counters = UpdateCounters{};
  OpenUpdateReport();
  for (BouquetNode& node : Bouquets.RightNodes) {
    if (node.level != 2) continue;
    const Text progress = ProgressText(node.entry);
    gui::SetText(Gadgets.StatusLine2, progress);
    if (!reference::FindServicePlain(node.entry, within)) {
      ++ServiceUpdate.Counters.NotFound;
      WriteReportLine(TXT("Removed ") + progress);
      gui::PollEvent();
    }
  }
  CloseUpdateReport();
}

std::vector<Text> ServiceEntries() {
  std::vector<Text> entries;
  for (const BouquetNode& node : Bouquets.RightNodes) {
    if (node.level != 2) continue;
    Text columns;
    for (int c = 1; c <= kEntryColumnCount; ++c) columns += EntryColumnText(node.entry, c) + TXT("\t");
    entries.push_back(columns);
  }
  return entries;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

double Seconds(const std::chrono::steady_clock::time_point& t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("ovn_bench_update_" + std::to_string(rd()));
  std::error_code ec;
  fs::create_directories(dir, ec);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);

  headless::Reset();
  gui::Init(argc, argv);
  ResetProgramState();
  BuildMainWindow();
  // Services not found are kept, so both runs see the same nodes.
  gui::SetState(Gadgets.RemoveNotFoundCheck, 0);

  std::vector<Service> services;
  std::ofstream("orbvane.xml", std::ios::binary) << MakeDataFile(services);
  const bool loaded = LoadXmlFile(DataDoc, TXT("orbvane.xml"), "orbvane_list");
  const std::vector<Text> lines = MakeExport(services);
  std::printf("data file: %zu services; export: %zu lines\n", services.size(), lines.size() - 1);

  FillRightTree(lines);
  auto t0 = std::chrono::steady_clock::now();
  PlainUpdate();
  const double plain = Seconds(t0);
  const std::string plainReport = ReadAll(dir / "updated_removed_services.txt");
  const std::vector<Text> plainEntries = ServiceEntries();
  const Text plainSummary = ServiceSummaryLine() + TransponderSummaryLine();

  FillRightTree(lines);
  t0 = std::chrono::steady_clock::now();
  UpdateServices(Gadgets.RightTree);
  const double indexed = Seconds(t0);
  const std::string report = ReadAll(dir / "updated_removed_services.txt");
  const bool same = report == plainReport && ServiceEntries() == plainEntries &&
                    ServiceSummaryLine() + TransponderSummaryLine() == plainSummary;

  t0 = std::chrono::steady_clock::now();
  BuildServiceIndex();
  const double indexOnly = Seconds(t0);
  DropServiceIndex();

  std::printf("%s\n%s\n", TextToUtf8(ServiceSummaryLine()).c_str(),
              TextToUtf8(TransponderSummaryLine()).c_str());
  std::printf("report: %zu bytes\n", report.size());
  std::printf("plain walk per service: %8.3f s\n", plain);
  std::printf("UpdateServices:         %8.3f s (goal %.1f s)\n", indexed, kGoalSeconds);
  std::printf("  of it, the index:     %8.3f s\n", indexOnly);
  std::printf("same report, entries and counters: %s\n", same ? "yes" : "NO");
  fs::current_path(previous);
  fs::remove_all(dir, ec);
  std::printf("%s\n", loaded && same && indexed < kGoalSeconds ? "PASS" : "FAIL");
  return 0;
}
