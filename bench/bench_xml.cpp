// Loading speed of the XML facility against a bare expat parse of the same
// bytes, on a generated satellite data file of about 50 MB. Loading may take at
// most twice as long as the bare parse.
#include <expat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <system_error>

#include "common/files.h"
#include "platform/xml_doc.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kTargetBytes = size_t(50) << 20;
constexpr int kRuns = 3;

const char* const kNames[] = {"Das Erste HD", "ZDF HD", "3sat HD", "arte HD", "KiKA HD",
                              "phoenix HD", "ONE HD", "tagesschau24 HD", "BR Fernsehen Nord HD",
                              "hr-fernsehen HD", "MDR Sachsen HD", "NDR FS NDS HD"};
const char* const kProviders[] = {"ARD", "ZDFvision", "ORF", "SRG", "BetaDigital"};
const char* const kGenres[] = {"General", "News", "Kids", "Culture", "Sport"};

// A data file laid out as the program saves it.
std::string MakeDataFile() {
  std::string out;
  out.reserve(kTargetBytes + (1 << 20));
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<orbvane_list>\r\n";
  int sid = 28000;
  for (int sat = 0; out.size() < kTargetBytes; ++sat) {
    out += "   <satellite name=\"Astra " + std::to_string(sat) + "\" position=\"" +
           std::to_string(sat % 180) + ".0E\" url=\"https://example.invalid/list/" +
           std::to_string(sat) + ".0E\">\r\n";
    for (int tp = 0; tp < 120 && out.size() < kTargetBytes; ++tp) {
      out += "      <transponder frequency=\"" + std::to_string(10700 + tp * 5) +
             "\" polarization=\"" + (tp % 2 ? "V" : "H") + "\" nid=\"1\" tid=\"" +
             std::to_string(1000 + tp) + "\" msys=\"DVB-S2\" mtyp=\"8PSK\" symbol_rate=\"22000\" "
             "fec_inner=\"2/3\">\r\n";
      for (int sv = 0; sv < 40; ++sv, ++sid) {
        const int pid = 5100 + sv * 10;
        out += "         <service type=\"";
        out += sv % 7 == 0 ? "radio" : "hdtv";
        out += "\" name=\"";
        out += kNames[sv % 12];
        out += "\" country=\"Germany\" genre=\"";
        out += kGenres[sv % 5];
        out += "\" provider=\"";
        out += kProviders[tp % 5];
        out += "\" crypt=\"\" sid=\"" + std::to_string(sid) + "\" vpid=\"" +
               std::to_string(pid + 1) + "\" audio_ac3=\"" + std::to_string(pid + 6) +
               ":deu\" audio=\"" + std::to_string(pid + 2) + ":deu;" + std::to_string(pid + 3) +
               ":mis\" pmt=\"" + std::to_string(pid) + "\" pcr=\"" + std::to_string(pid + 1) +
               "\" txt=\"" + std::to_string(pid + 4) + "\"/>\r\n";
      }
      out += "      </transponder>\r\n";
    }
    out += "   </satellite>\r\n";
  }
  out += "</orbvane_list>\r\n";
  return out;
}

void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL NoEnd(void*, const XML_Char*) {}
void XMLCALL NoText(void*, const XML_Char*, int) {}

bool BareParse(const std::string& bytes) {
  XML_Parser p = XML_ParserCreate(nullptr);
  XML_SetElementHandler(p, NoStart, NoEnd);
  XML_SetCharacterDataHandler(p, NoText);
  const bool ok = XML_Parse(p, bytes.data(), static_cast<int>(bytes.size()), XML_TRUE) ==
                  XML_STATUS_OK;
  XML_ParserFree(p);
  return ok;
}

// Best of kRuns, in milliseconds; before runs outside the timing.
double Best(const std::function<void()>& run, const std::function<void()>& before = {}) {
  double best = 1e300;
  for (int i = 0; i < kRuns; ++i) {
    if (before) before();
    const auto t0 = std::chrono::steady_clock::now();
    run();
    const auto t1 = std::chrono::steady_clock::now();
    best = std::min(best, std::chrono::duration<double, std::milli>(t1 - t0).count());
  }
  return best;
}

}  // namespace

int main() {
  std::random_device rd;
  const fs::path dir = fs::temp_directory_path() / ("ovn_bench_xml_" + std::to_string(rd()));
  std::error_code ec;
  fs::create_directories(dir, ec);
  const fs::path file = dir / "orbvane.xml";
  const fs::path saved = dir / "saved.xml";
  {
    const std::string data = MakeDataFile();
    std::ofstream(file, std::ios::binary) << data;
  }
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::printf("data file: %.1f MB\n", static_cast<double>(bytes.size()) / (1 << 20));

  bool ok = true;
  const double bare = Best([&] { ok = BareParse(bytes) && ok; });
  const int slot = 0;
  const Text path = FromFsPath(file);
  const double load = Best([&] { xml::LoadFile(slot, path); }, [&] { xml::FreeSlot(slot); });
  ok = ok && xml::IsLoaded(slot) && xml::NameIs(xml::RootElement(slot), "orbvane_list");
  const Text savePath = FromFsPath(saved);
  const double save = Best([&] {
    xml::Relayout(slot);
    ok = xml::SaveFile(slot, savePath) && ok;
  });
  // The generated file is laid out as the facility lays out, byte for byte.
  std::string written;
  {
    std::ifstream in(saved, std::ios::binary);
    written.assign(std::istreambuf_iterator<char>(in), {});
  }
  const bool same = written == bytes;
  xml::FreeSlot(slot);
  fs::remove_all(dir, ec);

  const double ratio = load / bare;
  std::printf("bare expat parse:      %8.1f ms\n", bare);
  std::printf("LoadFile:              %8.1f ms\n", load);
  std::printf("Relayout + SaveFile:   %8.1f ms\n", save);
  std::printf("saved file identical:  %s\n", same ? "yes" : "NO");
  std::printf("load / bare expat:     %8.2f (limit 2.00)\n", ratio);
  if (!ok) std::printf("a parse or save failed\n");
  std::printf("%s\n", ok && same && ratio <= 2.0 ? "PASS" : "FAIL");
  return 0;
}
