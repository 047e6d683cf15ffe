#!/usr/bin/python3
"""Answers that a subscription must refuse for their size, on 127.0.0.1, for
bench/window-agenda-cost.

Usage: refused_answers.py FOLDER
Listens on a port the system chooses, writes that port on standard output, and
serves until it is killed:
  /sans-longueur.ics  300 MB of a calendar's lines, sent in chunks, no length announced
  /bombe.ics          a gzip answer of 300 kB that swells to 300 MB once decoded
Each answer that ends, sent whole or cut by the client, adds its path to
FOLDER/ended.log.
"""

import http.server
import os
import sys
import zlib

FOLDER = sys.argv[1]
SWOLLEN_BYTES = 300 * 1000 * 1000
LINE = b"DESCRIPTION:" + b"x" * 62 + b"\r\n"
HEAD = b"BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Solvane bench//FR\r\nBEGIN:VEVENT\r\n"


def gzip_bomb():
    """HEAD, then lines of zeros, gzip-compressed (a header and trailer of RFC 1952)."""
    compressor = zlib.compressobj(9, zlib.DEFLATED, 16 + zlib.MAX_WBITS)
    parts = [compressor.compress(HEAD)]
    block = b"0" * (1 << 20)
    for _ in range(SWOLLEN_BYTES // len(block)):
        parts.append(compressor.compress(block))
    parts.append(compressor.flush())
    return b"".join(parts)


BOMB = gzip_bomb()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *arguments):
        pass

    def do_GET(self):
        try:
            if self.path == "/sans-longueur.ics":
                self.send_response(200)
                self.send_header("Content-Type", "text/calendar")
                self.send_header("Transfer-Encoding", "chunked")
                self.end_headers()
                chunk = HEAD + LINE * ((1 << 16) // len(LINE))
                sent = 0
                while sent < SWOLLEN_BYTES:
                    self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
                    sent += len(chunk)
                self.wfile.write(b"0\r\n\r\n")
            elif self.path == "/bombe.ics":
                self.send_response(200)
                self.send_header("Content-Type", "text/calendar")
                self.send_header("Content-Encoding", "gzip")
                self.send_header("Content-Length", str(len(BOMB)))
                self.end_headers()
                self.wfile.write(BOMB)
            else:
                self.send_response(404)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
        except OSError:
            pass
        with open(os.path.join(FOLDER, "ended.log"), "a") as log:
            log.write(self.path + "\n")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
