#!/usr/bin/env python3
"""A local HTTP server that plays the listing site for tests and trials.

It listens on 127.0.0.1 only, on a free port unless --port is given, and
serves the pages of listing_pages.py (beside this script) plus routes that
misbehave on purpose. It ends by itself: after --idle seconds without a
request, after --lifetime seconds in any case, when its parent process ends,
on /quit, or on SIGTERM/SIGINT. python3 standard library only.

Usage:
  listing_test_server.py [--port-file FILE] [--port N] [--idle S] [--lifetime S]
                         [--map POS=SOURCE]... [--fail-first POS=N]... [--log FILE]
                         [--tls-cert FILE]

  --port-file FILE  once listening, write the port number and a newline to
                    FILE (written beside and renamed, so a reader never sees
                    a part); the base URL http://127.0.0.1:PORT (https with
                    --tls-cert) is also printed on standard output
  --port N          listen on port N instead of a free one
  --idle S          end after S seconds without a request (default 60)
  --lifetime S      end after S seconds in any case (default 120)
  --map POS=SOURCE  serve SOURCE for the satellite position POS; may repeat.
                    SOURCE is a page name of listing_pages.py with optional
                    modifiers ":latin1" and ":BYTES" (padded to that size),
                    e.g. small:19456 or hotbird:latin1, or "@PATH" for the
                    bytes of a file as they are (read at each request; a
                    relative PATH is taken from the server's working folder).
                    Map sources are checked at start. Default map: 13.0E=hotbird,
                    19.2E=astra, 5.0W=small, 30.0W=plain.
  --fail-first POS=N  the first N requests for POS answer 500 (large body)
  --tls-cert FILE   speak HTTPS with the certificate and key of the PEM
                    file FILE (for tests of certificate checks)
  --log FILE        append one line per request, written before the answer is
                    sent: "<path> <status> <user agent>"

Routes (GET):
  /freqs.php?...pos=POS   the page mapped to POS; the query is taken as the
                          program sends it, "?&amp;pos=13.0E" included (the
                          position is the text after the last "pos="). An
                          unmapped position answers 404 with a large body.
  /page/NAME[?latin1][&size=N]   a page of listing_pages.py by name
  /redirect[?to=PATH]     302 to PATH (default /page/hotbird)
  /redirect-chain/N       N redirects in a row, then /page/hotbird
  /loop                   302 to itself, for ever
  /status/CODE, /notfound that status (404 for /notfound) with a body of
                          25000 bytes that holds the tables of the page
                          "small", so a client that keeps error bodies would
                          see a usable page
  /stall[?after=N]        200 with a Content-Length of 40000, then N body
                          bytes (default 0) and nothing more; the connection
                          stays open until the client gives up (or 60 s)
  /truncated              200 with a Content-Length of 40000 but only 20000
                          bytes of the page "hotbird", then the connection
                          closes
  /quit                   200, then the server ends
"""
import argparse
import http.server
import os
import select
import signal
import ssl
import sys
import threading
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import listing_pages  # noqa: E402

ERROR_BODY_SIZE = 25000
STALL_LENGTH = 40000
TRUNCATED_LENGTH, TRUNCATED_SENT = 40000, 20000
STALL_LIMIT_SECONDS = 60
DEFAULT_MAP = {"13.0E": "hotbird", "19.2E": "astra", "5.0W": "small", "30.0W": "plain"}


class State:
    def __init__(self, args):
        self.lock = threading.Lock()
        self.start = time.monotonic()
        self.last_activity = self.start
        self.active = 0
        self.stopping = threading.Event()
        self.idle = args.idle
        self.lifetime = args.lifetime
        self.log_path = args.log
        self.map = dict(DEFAULT_MAP)
        self.map.update(args.map)
        self.fail_left = dict(args.fail_first)

    def log(self, line):
        if not self.log_path:
            return
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line + "\n")


def page_bytes(source):
    """Bytes and charset of a map source; raises ValueError or OSError."""
    if source.startswith("@"):
        with open(source[1:], "rb") as f:
            return f.read(), "utf-8"
    parts = source.split(":")
    name, latin1, size = parts[0], False, None
    for modifier in parts[1:]:
        if modifier == "latin1":
            latin1 = True
        else:
            size = int(modifier)
    if name not in listing_pages.PAGES:
        raise ValueError("no page " + name)
    return listing_pages.render(name, latin1, size), "iso-8859-1" if latin1 else "utf-8"


def error_body():
    return listing_pages.render("small", size=ERROR_BODY_SIZE)


class Handler(http.server.BaseHTTPRequestHandler):
    server_version = "ListingTestServer/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):
        pass  # requests go to --log instead of standard error

    def do_GET(self):
        state = self.server.state
        with state.lock:
            state.active += 1
            state.last_activity = time.monotonic()
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            pass
        finally:
            with state.lock:
                state.active -= 1
                state.last_activity = time.monotonic()

    def send(self, status, body, content_type="text/html; charset=utf-8", headers=(),
             length=None, sent=None):
        # Logged before the answer, so a client that has the answer finds the line.
        self.server.state.log("%s %d %s" % (self.path, status, self.headers.get("User-Agent", "")))
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        for key, value in headers:
            self.send_header(key, value)
        self.end_headers()
        self.wfile.write(body if sent is None else body[:sent])
        self.wfile.flush()

    def redirect(self, location):
        self.send(302, b"<html><body>moved</body></html>\r\n", headers=[("Location", location)])

    def route(self):
        url = urllib.parse.urlsplit(self.path)
        path, query = url.path, url.query
        params = urllib.parse.parse_qs(query)
        if path == "/freqs.php":
            self.freqs(query)
        elif path.startswith("/page/"):
            source = path[len("/page/"):]
            if "latin1" in query.split("&"):
                source += ":latin1"
            if "size" in params:
                source += ":" + params["size"][0]
            self.serve_source(source)
        elif path == "/redirect":
            self.redirect(params.get("to", ["/page/hotbird"])[0])
        elif path.startswith("/redirect-chain/"):
            left = int(path.rsplit("/", 1)[1] or 0)
            self.redirect("/redirect-chain/%d" % (left - 1) if left > 1 else "/page/hotbird")
        elif path == "/loop":
            self.redirect("/loop")
        elif path == "/notfound":
            self.send(404, error_body())
        elif path.startswith("/status/"):
            self.send(int(path.rsplit("/", 1)[1]), error_body())
        elif path == "/stall":
            self.stall(int(params.get("after", ["0"])[0]))
        elif path == "/truncated":
            self.send(200, listing_pages.render("hotbird"), length=TRUNCATED_LENGTH,
                      sent=TRUNCATED_SENT)
            self.close_connection = True
        elif path == "/quit":
            self.send(200, b"bye\r\n", "text/plain")
            self.server.state.stopping.set()
        else:
            self.send(404, b"<html><body>no such route</body></html>\r\n")

    def freqs(self, query):
        state = self.server.state
        at = query.rfind("pos=")
        position = urllib.parse.unquote(query[at + 4:]) if at >= 0 else ""
        with state.lock:
            failing = state.fail_left.get(position, 0) > 0
            if failing:
                state.fail_left[position] -= 1
        if failing:
            self.send(500, error_body())
        elif position in state.map:
            self.serve_source(state.map[position])
        else:
            self.send(404, error_body())

    def serve_source(self, source):
        try:
            body, charset = page_bytes(source)
        except (ValueError, OSError) as e:
            self.send(404, ("<html><body>%s</body></html>\r\n" % e).encode("utf-8"))
            return
        self.send(200, body, "text/html; charset=" + charset)

    def stall(self, after):
        self.send(200, listing_pages.render("hotbird"), length=STALL_LENGTH, sent=after)
        # Hold the connection open, silent, until the client goes away.
        end = time.monotonic() + STALL_LIMIT_SECONDS
        stopping = self.server.state.stopping
        while time.monotonic() < end and not stopping.is_set():
            readable, _, _ = select.select([self.connection], [], [], 0.1)
            if readable:
                try:
                    if not self.connection.recv(1024):
                        break
                except OSError:
                    break
        self.close_connection = True


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = False


def watchdog(state, parent):
    while not state.stopping.wait(0.2):
        now = time.monotonic()
        with state.lock:
            idle = state.active == 0 and now - state.last_activity > state.idle
        if idle or now - state.start > state.lifetime:
            break
        if os.getppid() != parent:
            break
    state.stopping.set()


def pair(text):
    key, sep, value = text.partition("=")
    if not sep or not key:
        raise argparse.ArgumentTypeError("expected POS=VALUE, got " + text)
    return key, value


def main(argv):
    parser = argparse.ArgumentParser(description="Local listing site for tests.")
    parser.add_argument("--port-file")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--idle", type=float, default=60)
    parser.add_argument("--lifetime", type=float, default=120)
    parser.add_argument("--map", type=pair, action="append", default=[])
    parser.add_argument("--fail-first", type=pair, action="append", default=[])
    parser.add_argument("--log")
    parser.add_argument("--tls-cert")
    args = parser.parse_args(argv)
    args.fail_first = [(k, int(v)) for k, v in args.fail_first]

    parent = os.getppid()
    state = State(args)
    for position, source in state.map.items():
        try:
            page_bytes(source)
        except (ValueError, OSError) as e:
            parser.error("--map %s=%s: %s" % (position, source, e))
    server = Server(("127.0.0.1", args.port), Handler)
    server.state = state
    port = server.server_address[1]
    if args.tls_cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.tls_cert)
        server.socket = context.wrap_socket(server.socket, server_side=True)

    def stop(signum, frame):
        state.stopping.set()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1},
                     daemon=True).start()
    threading.Thread(target=watchdog, args=(state, parent), daemon=True).start()

    if args.port_file:
        temporary = args.port_file + ".new"
        with open(temporary, "w", encoding="ascii") as f:
            f.write("%d\n" % port)
        os.replace(temporary, args.port_file)
    print("%s://127.0.0.1:%d" % ("https" if args.tls_cert else "http", port), flush=True)

    while not state.stopping.wait(0.2):
        pass
    server.server_close()
    sys.stdout.flush()
    # Stalled handler threads are not waited for.
    os._exit(0)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
