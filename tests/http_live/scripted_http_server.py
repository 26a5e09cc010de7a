#!/usr/bin/env python3
"""Answers the live tests' requests that a plain file server cannot.

python3 scripted_http_server.py PORT FOLDER [PATH=ANSWER ...], on 127.0.0.1 only:
  /chunked/NAME            FOLDER/NAME with Transfer-Encoding: chunked, then closes
  /keep-alive-moved/NAME   302 to /same-connection/NAME, keeping the connection open
  /same-connection/NAME    FOLDER/NAME, but only on the connection that was moved
  /stall                   a header and a few body bytes, then silence for 10 s
  /raw/NAME, /raw-close/NAME  FOLDER/NAME's bytes as the whole answer, the
                           connection then kept open for 60 s or closed
  /endless-header          a status line, then "X: y" header lines for as long
                           as the client reads them (20 s at most)
  /endless-body            a 200 without a length, then body bytes as fast as
                           the client reads them (20 s at most)
PATH=ANSWER answers PATH as /ANSWER, so that a hostile server can be put behind
the paths a program asks for, say
  /products/Telvarn/version_linux=endless-header
PORT 0 takes a free port; either way "Serving HTTP on 127.0.0.1 port N (...)"
goes to standard error once the server listens.
"""
import http.server
import os
import sys
import time

# Uneven chunk sizes, so that chunk boundaries fall anywhere in the client's reads.
CHUNK_SIZES = [1, 7, 4096, 300, 65536, 2, 8190, 8191, 12345]
# How long an endless answer goes on when the client keeps reading.
ENDLESS_SECONDS = 20


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    moved = False  # set per connection: one handler serves all of its requests

    def log_message(self, format, *args):
        sys.stderr.write("%s\n" % (format % args))

    def content(self, name):
        path = os.path.join(self.server.folder, os.path.basename(name))
        try:
            with open(path, "rb") as file:
                return file.read()
        except OSError:
            return None

    def do_GET(self):
        if self.path in self.server.aliases:
            self.path = self.server.aliases[self.path]
        if self.path in ("/endless-header", "/endless-body"):
            return self.send_endless(self.path == "/endless-header")
        parts = self.path.split("/", 2)
        kind, name = (parts[1], parts[2]) if len(parts) == 3 else ("", "")
        if kind == "chunked":
            self.send_chunked(self.content(name))
        elif kind == "keep-alive-moved":
            self.moved = True
            self.send_response(302)
            self.send_header("Location", "/same-connection/" + name)
            self.send_header("Content-Length", "0")
            self.send_header("Connection", "keep-alive")
            self.end_headers()
        elif kind == "same-connection" and self.moved:
            self.send_whole(self.content(name))
        elif self.path == "/stall":
            self.send_stall()
        elif kind in ("raw", "raw-close"):
            self.send_raw(self.content(name), kind == "raw")
        else:
            self.send_error(409 if kind == "same-connection" else 404)

    def send_whole(self, body):
        if body is None:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def send_stall(self):
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789")
        self.wfile.flush()
        time.sleep(10)
        self.close_connection = True

    def send_raw(self, answer, keep_open):
        self.wfile.write(answer or b"")
        self.wfile.flush()
        if keep_open:
            time.sleep(60)
        self.close_connection = True

    # The same piece again and again until the client stops reading, its
    # connection fails, or the time is up; a write that blocks counts too.
    def send_endless(self, header_lines):
        if header_lines:
            head, piece = b"HTTP/1.1 200 OK\r\n", b"X: y\r\n" * 1024
        else:
            head = b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n"
            piece = b"\xA5" * 65536
        self.close_connection = True
        deadline = time.monotonic() + ENDLESS_SECONDS
        self.connection.settimeout(ENDLESS_SECONDS)
        sent = 0
        try:
            self.wfile.write(head)
            while time.monotonic() < deadline:
                self.wfile.write(piece)
                sent += len(piece)
        except OSError:
            pass  # the client went away, as it should
        self.log_message('"%s" answered with an endless %s, at least %d bytes of it sent',
                         self.requestline, "header" if header_lines else "body", sent)

    def send_chunked(self, body):
        if body is None:
            return self.send_error(404)
        self.send_response(200)
        self.send_header("Transfer-Encoding", "chunked")
        self.send_header("Connection", "close")
        self.end_headers()
        offset, index = 0, 0
        while offset < len(body):
            size = CHUNK_SIZES[index % len(CHUNK_SIZES)]
            piece = body[offset:offset + size]
            # Upper and lower case digits, and an extension now and then.
            head = ("%X" if index % 2 else "%x") % len(piece)
            if index % 3 == 0:
                head += ";part=%d" % index
            self.wfile.write(head.encode() + b"\r\n" + piece + b"\r\n")
            offset += len(piece)
            index += 1
        self.wfile.write(b"0\r\n\r\n")


def main():
    port, folder = int(sys.argv[1]), sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    server.folder = folder
    server.aliases = {}
    for alias in sys.argv[3:]:
        path, answer = alias.split("=", 1)
        server.aliases[path] = "/" + answer
    sys.stderr.write("Serving HTTP on 127.0.0.1 port %d (scripted answers)\n"
                     % server.server_address[1])
    sys.stderr.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
