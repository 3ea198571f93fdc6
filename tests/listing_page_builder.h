// Frequency pages in the listing site's shape, for the tests and benchmarks of
// the page reduction: transponder header tables marked class="frq" and service
// tables marked class="fl", one cell per line, the way the reducers expect.
#pragma once

#include <string>
#include <vector>

namespace page_builder {

struct HeaderCells {
  std::string position = "13.0&deg;E";
  std::string satellite = "HOTBIRD 13B";
  std::string frequency = "10719";
  std::string polarization = "V";
  std::string transponder = "1";
  std::string beam = "Wide";
  std::string system = "DVB-S2";
  std::string modulation = "8PSK";
  std::string symbolRate = "27500";
  std::string fec = "3/4";
  std::string tenth = "x";
  std::string nid = "318";
  std::string tid = "124";
  // A stray blank after the satellite cell, which leaves an empty line
  // before the frequency.
  bool strayEmptyCell = false;
};

struct Audio {
  std::string pid;
  std::string language;  // title of the language link; empty: none given
  std::string code;
  bool ac3 = false;
};

struct ServiceRow {
  std::string picture = "/tv.gif";  // "/radio.gif", "/data.gif", anything else
  bool feed = false;
  std::string name;
  std::string country;
  std::string genre;
  std::vector<std::string> providers;
  std::string crypt;
  std::string sid;
  std::string video;
  bool hd = false;
  bool threeD = false;
  std::vector<Audio> audio;
  std::string pmt;
  std::string pcr;
  std::string txt;
};

inline std::string HeaderTable(const HeaderCells& h) {
  std::string t = "<table width=\"720\" class=\"frq\"><tr>\n";
  t += "<td class=\"pos\">" + h.position + "</td>\n";
  t += "<td class=\"sat\"><span class=\"flag\"></span><a href=\"/sat\">" + h.satellite + "</a></td>";
  t += h.strayEmptyCell ? "&nbsp;\n" : "\n";
  t += "<td>" + h.frequency + "</td>\n";
  t += "<td>" + h.polarization + "</td>\n";
  t += "<td><a href=\"/tp\">" + h.transponder + "</a></td>\n";
  t += "<td>" + h.beam + "</td>\n";
  t += "<td>" + h.system + "</td>\n";
  t += "<td>" + h.modulation + "</td>\n";
  t += "<td><a href=\"/sr\">" + h.symbolRate + "</a> <a href=\"/fec\">" + h.fec + "</a></td>\n";
  t += "<td><a href=\"/x\"><b>" + h.tenth + "</b></a></td>\n";
  t += "<td>" + h.nid + "</td>\n";
  t += "<td>" + h.tid + "</td>\n";
  t += "</tr></table>\n";
  return t;
}

// The table at the top of a page, about the satellite itself.
inline std::string SatelliteTable() {
  return "<table class=\"frq\"><tr><td>Satellite overview</td></tr></table>\n";
}

inline std::string AudioCell(const std::vector<Audio>& audio) {
  std::string cell;
  for (const Audio& a : audio) {
    if (!cell.empty()) cell += " ";
    cell += a.pid;
    if (a.ac3) cell += "<img src=\"/dd51.gif\">";
    if (!a.language.empty())
      cell += " <A title=\"" + a.language + "\"><font color=\"blue\">" + a.code + "</font></A>";
  }
  return cell;
}

inline std::string ServiceRowHtml(const ServiceRow& r) {
  std::string t = r.feed ? "<tr class=\"feed\"><td class=\"k\">\n" : "<tr><td class=\"k\">\n";
  t += "<img src=\"" + r.picture + "\"></td>\n";
  t += "<td class=\"n\">\n";
  t += "<a href=\"/srv\"><font color=\"#003366\"><i>" + r.name + "</i></font></a></td>\n";
  t += "<td>" + r.country + "</td>\n";
  t += "<td>" + r.genre + "</td>\n";
  std::string providers;
  for (const std::string& p : r.providers)
    providers += (providers.empty() ? "" : "<br>") + std::string("<a href=\"/p\">") + p + "</a>";
  t += "<td>" + providers + "</td>\n";
  t += "<td>" + r.crypt + "</td>\n";
  t += "<td>" + r.sid + "</td>\n";
  std::string marks;
  if (r.hd) marks += "<img src=\"/hd.gif\">";
  if (r.threeD) marks += "<img src=\"/3dtv.gif\">";
  t += "<td>" + marks + " " + r.video + "</td>\n";
  t += "<td>" + AudioCell(r.audio) + "</td>\n";
  t += "<td>" + r.pmt + "</td>\n";
  t += "<td>" + r.pcr + "</td>\n";
  t += "<td>" + r.txt + "</td>\n";
  t += "<td>2024-05-01</td>\n";
  t += "</tr>\n";
  return t;
}

inline std::string ServiceTable(const std::vector<ServiceRow>& rows) {
  std::string t = "<table BORDER=0 CELLSPACING=1 cellpadding=3 class=\"fl\">\n";
  t += "<tr><th>Kind</th><th>Name</th></tr>\n";
  for (const ServiceRow& r : rows) t += ServiceRowHtml(r);
  t += "</table>\n";
  return t;
}

// A whole page around the tables, padded beyond the size below which a page
// counts as an error page.
inline std::string Page(const std::string& tables, size_t minimumSize = 20000) {
  std::string page = "<html><head><title>Frequencies</title></head><body>\n<div>\n";
  page += tables;
  page += "</div>\n";
  while (page.size() + 16 < minimumSize)
    page += "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit.</p>\n";
  page += "</body></html>\n";
  return page;
}

}  // namespace page_builder
