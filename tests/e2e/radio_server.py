#!/usr/bin/env python3
"""A radio station on 127.0.0.1 for the tests: radio_server.py MP3 PORTFILE (writes its port there).
/live.mp3 the MP3 without end as an ICY stream ("Test Radio"), titled "Song N" for its Nth 2 s;
/cut.mp3 the same, dropped after 2 s every time; /file.mp3 the MP3 with its length; /station.pls
names /live.mp3; /page.html; /hang never answers; /redirect/N redirects N times to /file.mp3;
anything else is 404. Each request's path is printed."""
import os
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

META_INTERVAL, BYTES_PER_SECOND = 8192, 16000  # the MP3 is 128 kbit/s


class Station(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path
        print(path, flush=True)
        if path in ("/live.mp3", "/cut.mp3"):
            return self.icy(None if path == "/live.mp3" else 2 * BYTES_PER_SECOND)
        if path == "/file.mp3":
            return self.answer(200, "audio/mpeg", self.server.mp3)
        if path == "/station.pls":
            port = self.server.server_address[1]
            text = f"[playlist]\nFile1=http://127.0.0.1:{port}/live.mp3\nTitle1=Test Radio\nNumberOfEntries=1\n"
            return self.answer(200, "audio/x-scpls", text.encode())
        if path == "/page.html":
            return self.answer(200, "text/html", b"<!DOCTYPE html><html><body>" + b"<p>words</p>" * 500)
        if path == "/hang":
            return time.sleep(60)
        if path.startswith("/redirect/"):
            left = int(path.rsplit("/", 1)[1])
            self.send_response(302)
            self.send_header("Location", f"/redirect/{left - 1}" if left > 1 else "/file.mp3")
            return self.end_headers()
        self.answer(404, "text/html", b"<html>Not Found</html>")

    def answer(self, code, kind, body):
        self.send_response(code)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def icy(self, cut_after):
        meta = self.headers.get("Icy-MetaData") == "1"
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("icy-name", "Test Radio")
        if meta:
            self.send_header("icy-metaint", str(META_INTERVAL))
        self.end_headers()
        mp3, sent, told, start = self.server.mp3, 0, None, time.monotonic()
        try:
            while cut_after is None or sent < cut_after:
                chunk = mp3[sent % len(mp3):][:META_INTERVAL]
                self.wfile.write(chunk)
                sent += len(chunk)
                if meta:
                    song = 1 + sent // (2 * BYTES_PER_SECOND)
                    title = f"StreamTitle='Song {song}';".encode() if song != told else b""
                    told, blocks = song, (len(title) + 15) // 16
                    self.wfile.write(bytes([blocks]) + title.ljust(16 * blocks, b"\0"))
                # In real time, a few seconds ahead, as a station sends.
                time.sleep(max(0, sent / BYTES_PER_SECOND - (time.monotonic() - start) - 3))
        except (BrokenPipeError, ConnectionResetError):
            pass


server = ThreadingHTTPServer(("127.0.0.1", 0), Station)
server.daemon_threads = True
server.mp3 = open(sys.argv[1], "rb").read()
with open(sys.argv[2] + ".part", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(sys.argv[2] + ".part", sys.argv[2])
server.serve_forever()
