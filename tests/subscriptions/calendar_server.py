#!/usr/bin/python3
"""A small web server of calendars for the subscription tests, on 127.0.0.1.

Usage: calendar_server.py FOLDER [--tls CERTIFICATE KEY]
Listens on a port the system chooses, writes that port on standard output, and
serves until it is killed. Each path is one behaviour:
  /agenda.ics       a calendar with an ETag and a Last-Modified date; 304 when the
                    request names either; FOLDER/agenda.ics replaces it when present
  /sans-etiquette.ics  the same calendar with a Last-Modified date alone
  /grande-etiquette.ics  the calendar with an ETag of 100 000 bytes, as long as
                    libcurl lets a header line be
  /grand.ics        50 MB, its length announced
  /grand-sans-longueur.ics  50 MB sent in chunks, no length announced
  /sans-fin.ics     a calendar whose lines never stop coming
  /muet.ics         headers never sent: the connection stays open and silent
  /boucle           a redirect to itself
  /vers-agenda      a redirect to /agenda.ics
  /vers-fichier     a redirect to file:///etc/passwd
  /page.html        an HTML page, as a captive portal answers
  /absent.ics       404
A query (?...) after the path changes nothing: it makes another address of the
same behaviour. Every request is written, one line each, to FOLDER/requests.log: the path and the
If-None-Match and If-Modified-Since it carried.
"""

import http.server
import zlib
import os
import ssl
import sys
import time

FOLDER = sys.argv[1]
CALENDAR = (
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane tests//FR\r\n"
    "BEGIN:VEVENT\r\nUID:rentree@test\r\nDTSTAMP:20260101T000000Z\r\n"
    "DTSTART;VALUE=DATE:20260901\r\nSUMMARY:Rentrée\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n"
).encode()
LAST_MODIFIED = "Tue, 01 Sep 2026 08:00:00 GMT"
FIFTY_MB = 50 * 1000 * 1000


def calendar_text():
    path = os.path.join(FOLDER, "agenda.ics")
    if os.path.exists(path):
        with open(path, "rb") as given:
            return given.read()
    return CALENDAR


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *arguments):
        pass

    def send(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        with open(os.path.join(FOLDER, "requests.log"), "a") as log:
            log.write("%s\t%s\t%s\n" % (self.path, self.headers.get("If-None-Match", ""),
                                        self.headers.get("If-Modified-Since", "")))
        body = calendar_text()
        etag = '"v%08x"' % zlib.crc32(body)
        path = self.path.partition("?")[0]
        if path in ("/agenda.ics", "/sans-etiquette.ics"):
            with_etag = path == "/agenda.ics"
            if (with_etag and self.headers.get("If-None-Match") == etag) or (
                    self.headers.get("If-Modified-Since") == LAST_MODIFIED and body == CALENDAR):
                self.send_response(304)
                self.end_headers()
                return
            headers = [("Content-Type", "text/calendar"), ("Last-Modified", LAST_MODIFIED)]
            if with_etag:
                headers.append(("ETag", etag))
            self.send(200, body, headers)
        elif path == "/grande-etiquette.ics":
            self.send(200, body, [("Content-Type", "text/calendar"), ("ETag", '"%s"' % ("e" * 99998))])
        elif path == "/grand.ics":
            self.send_response(200)
            self.send_header("Content-Length", str(FIFTY_MB))
            self.end_headers()
            self.stream(FIFTY_MB, chunked=False)
        elif path == "/grand-sans-longueur.ics":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            self.stream(FIFTY_MB, chunked=True)
        elif path == "/sans-fin.ics":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            line = b"BEGIN:VCALENDAR\r\n"
            try:
                while True:
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(line), line))
                    self.wfile.flush()
                    time.sleep(0.2)
            except OSError:
                pass
        elif path == "/muet.ics":
            try:
                while self.rfile.read(1):
                    pass
            except OSError:
                pass
        elif path == "/boucle":
            self.send(302, headers=[("Location", "/boucle")])
        elif path == "/vers-agenda":
            self.send(301, headers=[("Location", "/agenda.ics")])
        elif path == "/vers-fichier":
            self.send(302, headers=[("Location", "file:///etc/passwd")])
        elif path == "/page.html":
            self.send(200, b"<html><body>Connexion</body></html>", [("Content-Type", "text/html")])
        else:
            self.send(404, b"absent")

    def stream(self, length, chunked):
        block = b"X" * 65536
        sent = 0
        try:
            while sent < length:
                part = block[:min(len(block), length - sent)]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part) if chunked else part)
                sent += len(part)
            if chunked:
                self.wfile.write(b"0\r\n\r\n")
        except OSError:
            pass


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if len(sys.argv) == 5 and sys.argv[2] == "--tls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[3], sys.argv[4])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
