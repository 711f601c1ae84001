#!/usr/bin/env python3
"""A local radio station for the tests: serves one MP3 in the ways stations and the web do.

radio_server.py MP3 PORTFILE  -- listens on a free port of 127.0.0.1 and writes the port to PORTFILE.
  /live.mp3     the MP3 without end, as an ICY stream (icy-name "Test Radio"); its StreamTitle is
                "Song 1", then "Song 2" once 2 s have been sent, and so on
  /file.mp3     the MP3 once, with its length
  /cut.mp3      an ICY stream whose connection drops after 2 s of sound, every time
  /station.pls  a PLS naming /live.mp3, titled "Test Radio"
  /page.html    an HTML page
  /hang         accepts and never answers
  /missing      404
  /redirect/N   redirects N times, then to /file.mp3
"""
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

META_INTERVAL = 8192
BYTES_PER_SECOND = 16000  # the MP3 is 128 kbit/s


class Station(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path
        print(path, flush=True)  # the test counts connections
        if path == "/live.mp3":
            return self.icy(cut_after=None)
        if path == "/cut.mp3":
            return self.icy(cut_after=2 * BYTES_PER_SECOND)
        if path == "/file.mp3":
            return self.answer(200, "audio/mpeg", self.server.mp3)
        if path == "/station.pls":
            port = self.server.server_address[1]
            text = f"[playlist]\nFile1=http://127.0.0.1:{port}/live.mp3\nTitle1=Test Radio\nNumberOfEntries=1\n"
            return self.answer(200, "audio/x-scpls", text.encode())
        if path == "/page.html":
            return self.answer(200, "text/html", b"<!DOCTYPE html><html><body>" + b"<p>not a sound</p>" * 500 + b"</body></html>")
        if path == "/hang":
            time.sleep(60)
            return
        if path.startswith("/redirect/"):
            left = int(path.rsplit("/", 1)[1])
            self.send_response(302)
            self.send_header("Location", f"/redirect/{left - 1}" if left > 1 else "/file.mp3")
            self.end_headers()
            return
        self.answer(404, "text/html", b"<html>Not Found</html>")

    def answer(self, code, kind, body):
        self.send_response(code)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def icy(self, cut_after):
        wants_meta = self.headers.get("Icy-MetaData") == "1"
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("icy-name", "Test Radio")
        if wants_meta:
            self.send_header("icy-metaint", str(META_INTERVAL))
        self.end_headers()
        mp3, sent, song, told = self.server.mp3, 0, 1, None
        start = time.monotonic()
        try:
            while cut_after is None or sent < cut_after:
                at = sent % len(mp3)
                chunk = mp3[at:at + META_INTERVAL]
                self.wfile.write(chunk)
                sent += len(chunk)
                if wants_meta:
                    song = 1 + sent // (2 * BYTES_PER_SECOND)
                    title = f"StreamTitle='Song {song}';".encode() if song != told else b""
                    told = song
                    blocks = (len(title) + 15) // 16
                    self.wfile.write(bytes([blocks]) + title.ljust(16 * blocks, b"\0"))
                # In real time, a few seconds ahead: a station sends as it plays.
                ahead = sent / BYTES_PER_SECOND - (time.monotonic() - start)
                if ahead > 3.0:
                    time.sleep(ahead - 3.0)
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Station)
    server.daemon_threads = True
    with open(sys.argv[1], "rb") as f:
        server.mp3 = f.read()
    with open(sys.argv[2] + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(sys.argv[2] + ".part", sys.argv[2])
    server.serve_forever()


if __name__ == "__main__":
    main()
