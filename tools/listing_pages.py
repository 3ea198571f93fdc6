#!/usr/bin/env python3
"""Writes test pages in the shape of the listing site's frequency pages.

The pages carry the markers and cell shapes the program's reducers read: a
first header table (the page heading, passed over), then per transponder a
header table marked class="frq" with its twelve cells and a service table
opened by <TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class="fl">, one row per
service. The output is deterministic; python3 standard library only.

Usage:
  listing_pages.py NAME [-o FILE] [--latin1] [--size BYTES]
  listing_pages.py --all DIR [--latin1]
  listing_pages.py --list

  NAME        one of the pages below
  -o FILE     write to FILE instead of standard output
  --latin1    encode as ISO-8859-1 (characters outside it become numeric
              character references such as &#917;) instead of UTF-8
  --size N    pad the page with an HTML comment before </body> to exactly N
              bytes; fails (exit 2) when the page is larger than N already
  --all DIR   write every page to DIR/NAME.html
  --list      print the names with one line about each

Pages (sizes are those of the UTF-8 form; 19455 bytes or less is the
program's "too small" size):

  hotbird  13.0E, about 34 KB. Header tables of every kind: DVB-S2 8PSK with
           FEC, DVB-S QPSK, 16APSK (skipped with its services), missing NID,
           "DVB-S" only in the satellite name (system DSS), a stray empty line
           before the frequency, a symbol rate without FEC, 32APSK, and a last
           transponder without services (hidden). Service rows of every kind:
           tv (zap.gif and /tv.gif), radio, data, feed (row class), unknown
           picture, HDTV, 3DTV, H.265, FTA and encrypted, several providers,
           providers differing only in case, audio lists with AC3 entries,
           "aac", an AC3 entry without language, "unk" and the two-word
           "Version originale", missing PIDs, empty names, one duplicate
           service id within a transponder, Greek and Cyrillic names, a genre
           with "&#233;", a name with "&amp;" and a double quote.
  astra    19.2E, about 24 KB. German and French names with Latin-1 letters
           (ü, é, ß, Ö), a Cyrillic provider, two duplicate service ids in two
           transponders, the same service id in two transponders (no
           duplicate), and a service table directly after another one (its
           rows yield nothing).
  small    5.0W, about 3 KB: one transponder with three services; below the
           usable size (pad it with --size to try the size check).
  plain    30.0W, about 23 KB: a page without any wanted table (no header or
           service table), above the usable size.
"""
import argparse
import os
import sys

SERVICE_TABLE_TAG = '<TABLE BORDER=0 CELLSPACING=1 cellpadding=3 class="fl">'

# Pictures of the kind cell.
TV, TV2, RADIO, DATA, OTHER = "/zap.gif", "/tv.gif", "/radio.gif", "/data.gif", "/i.gif"


class Header:
    """One transponder header table."""

    def __init__(self, freq, pol, txp, beam, system, modulation, rate, fec, tenth, nid, tid,
                 sat_name=None, stray_line=False):
        self.freq, self.pol, self.txp, self.beam = freq, pol, txp, beam
        self.system, self.modulation, self.rate, self.fec = system, modulation, rate, fec
        self.tenth, self.nid, self.tid = tenth, nid, tid
        self.sat_name = sat_name
        self.stray_line = stray_line


class Row:
    """One service row. picture is one of the kind pictures; feed=True marks
    the row itself as a feed. audio is a list of (pid, language title or None,
    code or None, ac3, aac)."""

    def __init__(self, picture, name, country, genre, providers, crypt, sid, video, audio,
                 pmt, pcr, txt, feed=False, hd=False, three_d=False, h265=False, name_icon=False):
        self.picture, self.name, self.country, self.genre = picture, name, country, genre
        self.providers, self.crypt, self.sid, self.video = providers, crypt, sid, video
        self.audio, self.pmt, self.pcr, self.txt = audio, pmt, pcr, txt
        self.feed, self.hd, self.three_d, self.h265 = feed, hd, three_d, h265
        self.name_icon = name_icon


def a(pid, title=None, code=None, ac3=False, aac=False, br=False):
    """One audio entry; br puts a line break in front of it instead of a space."""
    return (pid, title, code, ac3, aac, br)


# ---------------------------------------------------------------- rendering


def first_header_table(sat_name, position):
    # The page heading: a header-marked table that the reducer passes over.
    return [
        '<table class="frq" width="100%" cellspacing="0"><tr>',
        '<td class="hd" colspan="2"><h1>%s</h1></td>' % sat_name,
        '<td class="hd">%s</td>' % position.replace("E", "&deg;E").replace("W", "&deg;W"),
        '<td class="hd"><a href="/sat?pos=%s">all frequencies</a></td>' % position,
        '</tr></table>',
    ]


def header_table(sat_name, position, h):
    pos_cell = position[:-1] + "&deg;" + position[-1]
    name = h.sat_name if h.sat_name is not None else sat_name
    name_line = ('<td class="nm"><span class="ic"><img src="/s.gif"></span>'
                 '<a href="/sat?pos=%s">%s</a></td>' % (position, name))
    if h.stray_line:
        name_line += "&nbsp;"  # becomes an empty line of its own
    rate = '<a href="/sr?v=%s">%s</a>' % (h.rate, h.rate)
    if h.fec:
        rate += ' <a href="/fec?v=%s">%s</a>' % (h.fec, h.fec)
    return [
        '<table class="frq" width="100%" cellspacing="0"><tr>',
        '<td class="pos" width="70">%s</td>' % pos_cell,
        name_line,
        '<td class="fq">%s</td>' % h.freq,
        '<td class="pl">%s</td>' % h.pol,
        '<td class="tp"><a href="/tp?id=%s">%s</a></td>' % (h.txp, h.txp),
        '<td class="bm"><a href="/beam?n=%s">%s</a></td>' % (h.beam.lower(), h.beam),
        '<td class="sy">%s</td>' % h.system,
        '<td class="md">%s</td>' % h.modulation,
        '<td class="sr">%s</td>' % rate,
        '<td class="x"><a href="/net?id=%s"><b>%s</b></a></td>' % (h.nid, h.tenth),
        '<td class="ni">%s</td>' % h.nid,
        '<td class="ti">%s</td>' % h.tid,
        '</tr></table>',
    ]


def audio_cell(entries):
    text = ""
    for pid, title, code, ac3, aac, br in entries:
        if text:
            text += "<br>" if br else " "
        text += str(pid)
        if ac3:
            text += ('<A title="AC3 (Dolby Digital 5.1)"><img src="/dd51.gif"></A>')
        if aac:
            text += " aac"
        if code is not None:
            text += ' <A title="%s"><font color="blue">%s</font></A>' % (title, code)
    return text


def video_cell(row):
    text = ""
    if row.hd:
        text += '<img src="/hd.gif">'
    if row.three_d:
        text += '<img src="/3dtv.gif">'
    if row.video:
        text += " " + row.video
    if row.h265:
        text += " H.265"
    return text


def service_row(row):
    head = '<tr class="feed">' if row.feed else "<tr>"
    picture = '<a href="/zap?sid=%s"><img src="%s" alt=""></a>' % (row.sid, row.picture)
    name = '<a href="/srv?sid=%s"><font color="#00008b"><i>%s</i></font></a>' % (row.sid, row.name)
    if row.name_icon:
        name += '<img src="/new.gif">'
    providers = "<br>".join('<a href="/prov?n=%d">%s</a>' % (i + 1, p)
                            for i, p in enumerate(row.providers))
    return [
        head + '<td class="s">&nbsp;</td>',
        '<td class="p">%s</td>' % picture,
        '<td class="ch" width="160">',
        name + "</td>",
        '<td class="c">%s</td>' % row.country,
        '<td class="g">%s</td>' % row.genre,
        '<td class="pv">%s</td>' % providers,
        '<td class="e">%s</td>' % row.crypt,
        '<td class="s">%s</td>' % row.sid,
        '<td class="v">%s</td>' % video_cell(row),
        '<td class="a">%s</td>' % audio_cell(row.audio),
        '<td class="s">%s</td>' % row.pmt,
        '<td class="s">%s</td>' % row.pcr,
        '<td class="s">%s</td>' % row.txt,
        '<td class="d"><a href="/upd?sid=%s">2018-05-14</a></td></tr>' % row.sid,
    ]


def service_table(rows):
    lines = [SERVICE_TABLE_TAG,
             '<tr><th>&nbsp;</th><th>&nbsp;</th><th>Ch</th><th>Name</th><th>Country</th>'
             '<th>Genre</th><th>Provider</th><th>Encryption</th><th>SID</th><th>Video</th>'
             '<th>Audio</th><th>PMT</th><th>PCR</th><th>TXT</th><th>Updated</th></tr>']
    for row in rows:
        lines += service_row(row)
    lines.append("</table>")
    return lines


def page(title, sat_name, position, blocks, charset="utf-8"):
    """blocks: list of Header, list of Row (a service table), or raw lines."""
    lines = [
        "<!DOCTYPE html>",
        "<html><head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=%s">' % charset,
        "<title>%s</title>" % title,
        "</head><body>",
        '<div class="menu"><table width="100%"><tr><td><a href="/">Home</a></td>'
        '<td><a href="/sats">Satellites</a></td></tr></table></div>',
        "<div>",
    ]
    lines += first_header_table(sat_name, position)
    for block in blocks:
        if isinstance(block, Header):
            lines.append("<br>")
            lines += header_table(sat_name, position, block)
        elif block and isinstance(block[0], Row):
            lines += service_table(block)
        else:
            lines += block
    lines += ["</div>", '<p class="foot">Listing test page, generated.</p>', "</body></html>"]
    return lines


def filler_rows(first_sid, count, country, genre, provider, crypt, vpid):
    """Plain tv rows that give a page its bulk."""
    rows = []
    for i in range(count):
        sid = first_sid + i
        rows.append(Row(TV, "%s %d" % (provider, i + 1), country, genre, [provider], crypt,
                        str(sid), str(vpid + 10 * i),
                        [a(vpid + 10 * i + 1, "English", "eng")],
                        str(100 + i), str(vpid + 10 * i), ""))
    return rows


# ---------------------------------------------------------------- the pages


def hotbird():
    sat, pos = "Hotbird 13B", "13.0E"
    blocks = [
        Header("10719", "V", "1", "Wide", "DVB-S2", "8PSK", "27500", "3/4", "SD", "318", "12400"),
        [
            Row(TV, "Rai 1", "Italy", "General", ["Rai"], "FTA", "3401", "512",
                [a(650, "Italiano", "ita"), a(651, "English", "eng"),
                 a(652, "Italiano", "ita", ac3=True)], "258", "512", "576", name_icon=True),
            Row(TV2, "Rai 2 HD", "Italy", "General", ["Rai"], "FTA", "3402", "5120",
                [a(5121, "Italiano", "ita"), a(5122, "Version originale", "vo")],
                "259", "5120", "", hd=True),
            Row(TV, "Sky Cinema 3D", "Italy", "Movies", ["Sky Italia"],
                "NDS Videoguard Nagra 3", "3403", "5130",
                [a(5131, "Italiano", "ita"), a(5132, None, None, ac3=True),
                 a(5133, "English", "eng", br=True)],
                "260", "5130", "", hd=True, three_d=True),
            Row(TV, "Sky Sport UHD", "Italy", "Sports", ["SKY ITALIA"], "NDS Videoguard",
                "3404", "5140", [a(5141, "Italiano", "ita", aac=True)], "261", "5140", "",
                hd=True, h265=True),
            Row(RADIO, "Rai Radio 1", "Italy", "Radio", ["Rai"], "FTA", "3405", "",
                [a(7001, "Italiano", "ita")], "270", "", ""),
            Row(RADIO, "", "Italy", "Radio", ["Rai"], "FTA", "3406", "", [a(7002)], "271", "", ""),
            Row(DATA, "EPG data", "", "", ["Eutelsat"], "FTA", "3407", "", [], "272", "", ""),
            Row(DATA, "", "", "", [], "", "3408", "", [], "", "", ""),
            Row(TV, "Rai 3 TGR", "Italy", "News", ["Rai"], "FTA", "3401", "513",
                [a(660, "Italiano", "ita")], "262", "513", "577"),
        ],
        Header("11034", "V", "2", "Wide", "DVB-S", "QPSK", "27500", "3/4", "SD", "318", "12500"),
        [
            Row(TV, "ΕΡΤ World", "Greece", "General", ["ΕΡΤ"], "FTA", "4101", "2101",
                [a(2102, "Ελληνικά", "ell")], "1001", "2101", "2103"),
            Row(TV, "Первый канал", "Russia", "General", ["Первый канал"],
                "Conax Irdeto Nagra 3 Viaccess", "4102", "2201 2202",
                [a(2203, "Русский", "rus"), a(2204, "English", "eng", ac3=True)],
                "1002", "2201", ""),
            Row(OTHER, "Mystery Channel", "", "Soci&#233;t&#233;", ["Unknown Media"], "FTA",
                "4103", "2301", [a(2302)], "1003", "2301", ""),
            Row(TV, "Tom &amp; Jerry \"Classic\"", "United Kingdom", "Kids & Family",
                ["Turner &amp; Co", "<Cartoon>"], "FTA", "4104", "2401",
                [a(2402, "English", "eng"), a(2403, "Deutsch", "deu")], "1004", "2401", ""),
            Row(TV, "", "Italy", "", ["Rai"], "FTA", "4105", "2501", [a(2502)], "1005", "2501", ""),
        ] + filler_rows(4200, 16, "Italy", "Shopping", "Mediaset", "FTA", 3000),
        Header("11200", "H", "3", "Wide", "DVB-S2", "16APSK", "30000", "8/9", "HD", "318", "12600"),
        [
            Row(TV, "Skipped Sixteen 1", "Italy", "General", ["Rai"], "FTA", "4301", "3101",
                [a(3102, "Italiano", "ita")], "1101", "3101", ""),
            Row(TV, "Skipped Sixteen 2", "Italy", "General", ["Rai"], "FTA", "4302", "3201",
                [a(3202, "Italiano", "ita")], "1102", "3201", ""),
        ],
        Header("11240", "V", "4", "Wide", "DVB-S2", "8PSK", "29900", "2/3", "HD", "", "12700"),
        [
            Row(TV, "France 24", "France", "News", ["France Medias Monde"], "FTA", "4401", "4101",
                [a(4102, "Français", "fra"), a(4103, "English", "eng")], "1201", "4101", ""),
            Row(TV, "Feed 1", "", "", ["Eurovision"], "BISS", "4402", "4201",
                [a(4202)], "1202", "4201", "", feed=True),
            Row(RADIO, "Radio Maria", "Italy", "Religious", ["Radio Maria"], "FTA", "4403", "",
                [a(4301, "Italiano", "ita"), a(4302, "Deutsch", "deu")], "1203", "", ""),
        ],
        Header("11290", "H", "5", "Europe", "DSS", "QPSK", "27500", "5/6", "SD", "318",
               "12800", sat_name="DVB-S Testsat 1"),
        [
            Row(TV, "Legacy Box", "Italy", "General", ["Eutelsat"], "FTA", "4501", "4501",
                [a(4502, "Italiano", "ita")], "1301", "4501", ""),
        ],
        Header("11334", "H", "6", "Wide", "DVB-S2", "QPSK", "27500", "2/3", "SD", "318", "12900",
               stray_line=True),
        [
            Row(TV, "Stray Cell TV", "Poland", "General", ["Cyfrowy Polsat"], "Nagra 3", "4601",
                "4601", [a(4602, "Polski", "pol")], "1401", "4601", ""),
            Row(TV, "Stray Cell HD", "Poland", "General", ["cyfrowy polsat"], "Nagra 3", "4602",
                "4611", [a(4612, "Polski", "pol", ac3=True)], "1402", "4611", "", hd=True),
        ],
        Header("11373", "V", "7", "Wide", "DVB-S", "QPSK", "27500", "", "SD", "318", "13000"),
        [
            Row(TV, "No Fec TV", "Italy", "General", ["Rai"], "FTA", "4701", "4701",
                [a(4702, "Italiano", "ita")], "1501", "4701", ""),
        ],
        Header("11450", "H", "8", "Wide", "DVB-S2", "32APSK", "29500", "8/9", "HD", "318",
               "13100"),
        [
            Row(TV, "Thirty Two", "Italy", "General", ["Rai"], "FTA", "4801", "4801",
                [a(4802, "Italiano", "ita")], "1601", "4801", ""),
        ],
        Header("12000", "V", "9", "Wide", "DVB-S2", "8PSK", "27500", "3/4", "SD", "318", "13200"),
    ]
    return page("Hotbird 13B frequencies", sat, pos, blocks)


def astra():
    sat, pos = "Astra 1KR", "19.2E"
    blocks = [
        Header("10744", "H", "1", "Europe", "DVB-S", "QPSK", "22000", "5/6", "SD", "1", "1019"),
        [
            Row(TV, "Das Erste", "Germany", "General", ["ARD"], "FTA", "28106", "101",
                [a(102, "Deutsch", "deu"), a(103, "Deutsch", "deu", ac3=True)], "100", "101", "104"),
            Row(TV, "Süd TV", "Germany", "Regional", ["ARD"], "FTA", "28107", "201",
                [a(202, "Deutsch", "deu")], "200", "201", "204"),
            Row(TV, "Tele München", "Germany", "Movies", ["TMG"], "FTA", "28107", "301",
                [a(302, "Deutsch", "deu")], "300", "301", ""),
            Row(RADIO, "Ö1", "Austria", "Culture", ["ORF"], "FTA", "28108", "",
                [a(402, "Deutsch", "deu")], "400", "", ""),
            Row(RADIO, "Radio Brocken", "Germany", "Radio", ["Regiocast"], "FTA", "28109", "",
                [a(502, "Deutsch", "deu")], "500", "", ""),
        ] + filler_rows(28200, 24, "Germany", "General", "ProSiebenSat.1", "FTA", 600),
        Header("11362", "H", "2", "Europe", "DVB-S2", "8PSK", "22000", "2/3", "HD", "1", "1045"),
        [
            Row(TV, "Télé Française HD", "France", "General", ["Canal+"], "Viaccess Nagra 3",
                "10001", "3000", [a(3001, "Français", "fra"), a(3002, "English", "eng")],
                "3100", "3000", "3003", hd=True),
            Row(TV, "Straße TV", "Germany", "Lifestyle", ["Sky Deutschland"], "Nagra 3", "10002",
                "3010", [a(3011, "Deutsch", "deu")], "3110", "3010", ""),
            Row(TV, "Россия 24", "Russia", "News", ["ВГТРК"], "FTA", "10002", "3020",
                [a(3021, "Русский", "rus")], "3120", "3020", ""),
            Row(TV, "Das Erste HD", "Germany", "General", ["ARD"], "FTA", "28106", "5101",
                [a(5102, "Deutsch", "deu")], "5100", "5101", "5104", hd=True),
        ],
        [
            Row(TV, "Never Read", "Germany", "General", ["ARD"], "FTA", "10003", "3030",
                [a(3031, "Deutsch", "deu")], "3130", "3030", ""),
        ],
    ]
    return page("Astra 1KR frequencies", sat, pos, blocks)


def small():
    sat, pos = "Small Sat", "5.0W"
    blocks = [
        Header("11055", "V", "1", "Europe", "DVB-S", "QPSK", "29950", "3/4", "SD", "1", "2"),
        [
            Row(TV, "Small One", "France", "General", ["Small Media"], "FTA", "101", "201",
                [a(202, "Français", "fra")], "301", "201", ""),
            Row(RADIO, "Small Radio", "France", "Radio", ["Small Media"], "FTA", "102", "",
                [a(212, "Français", "fra")], "302", "", ""),
            Row(DATA, "Small Data", "", "", ["Small Media"], "FTA", "103", "", [], "303", "", ""),
        ],
    ]
    return page("Small Sat frequencies", sat, pos, blocks)


def plain():
    body = ['<p>Frequency list temporarily unavailable.</p>']
    for i in range(260):
        body.append('<p class="news">Notice %d: the listing is being rebuilt, '
                    'please come back later.</p>' % (i + 1))
    lines = ["<!DOCTYPE html>", "<html><head>",
             '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">',
             "<title>Maintenance</title>", "</head><body>"] + body + ["</body></html>"]
    return lines


PAGES = {
    "hotbird": (hotbird, "13.0E, transponder header and service row cases, about 34 KB"),
    "astra": (astra, "19.2E, Latin-1 and Cyrillic names, duplicate ids, about 24 KB"),
    "small": (small, "5.0W, one transponder, below the usable size"),
    "plain": (plain, "30.0W, no wanted table, above the usable size"),
}


def render(name, latin1=False, size=None):
    """The bytes of a page; raises ValueError when it exceeds size."""
    lines = PAGES[name][0]()
    if latin1:
        lines = [l.replace("charset=utf-8", "charset=iso-8859-1") for l in lines]
    encoding = "iso-8859-1" if latin1 else "utf-8"
    body = "".join(l + "\r\n" for l in lines).encode(encoding, "xmlcharrefreplace")
    if size is None:
        return body
    # The padding goes before the last line, outside every table.
    tail = "</body></html>\r\n".encode("ascii")
    head = body[:len(body) - len(tail)]
    free = size - len(body)
    if free == 0:
        return body
    frame = len("<!--  -->\r\n")
    if free < frame:
        raise ValueError("page %s is %d bytes, cannot pad to %d" % (name, len(body), size))
    padding = b"<!-- " + b"x" * (free - frame) + b" -->\r\n"
    return head + padding + tail


def main(argv):
    parser = argparse.ArgumentParser(description="Writes listing test pages.")
    parser.add_argument("name", nargs="?", choices=sorted(PAGES))
    parser.add_argument("-o", dest="output")
    parser.add_argument("--latin1", action="store_true")
    parser.add_argument("--size", type=int)
    parser.add_argument("--all", dest="all_dir")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args(argv)

    if args.list:
        for name in sorted(PAGES):
            print("%-8s %s (%d bytes)" % (name, PAGES[name][1], len(render(name))))
        return 0
    if args.all_dir:
        os.makedirs(args.all_dir, exist_ok=True)
        for name in sorted(PAGES):
            with open(os.path.join(args.all_dir, name + ".html"), "wb") as f:
                f.write(render(name, args.latin1))
        return 0
    if not args.name:
        parser.error("name a page, or use --all or --list")
    try:
        data = render(args.name, args.latin1, args.size)
    except ValueError as e:
        print(str(e), file=sys.stderr)
        return 2
    if args.output:
        with open(args.output, "wb") as f:
            f.write(data)
    else:
        sys.stdout.buffer.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
