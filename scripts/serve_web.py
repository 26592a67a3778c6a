#!/usr/bin/env python3
"""Serves the browser build's site folder as a static host should: script, WebAssembly, page,
style and the other text files gzipped for browsers that accept it (compressed once per file
version and kept in memory), files whose names carry their content's hash ("drommel.0123456789.js")
as cacheable for a year and immutable, everything else (the page, the service worker, the
manifest, the icons) revalidated on every use, with an ETag so that an unchanged file is answered
"304 Not Modified". Python's standard library only.

    python3 serve_web.py SITE_FOLDER [--port 8000] [--bind 127.0.0.1]
"""
import argparse
import email.utils
import gzip
import hashlib
import http.server
import os
import re
import sys
import threading

HASHED = re.compile(r"\.[0-9a-f]{10}\.[A-Za-z0-9]+$")
COMPRESSED = {".js", ".wasm", ".html", ".css", ".json", ".webmanifest", ".svg", ".txt"}
TYPES = {".wasm": "application/wasm", ".js": "text/javascript", ".webmanifest":
         "application/manifest+json", ".ogg": "audio/ogg", ".json": "application/json"}


class Cache:
    """The bytes, ETag and gzipped bytes of a file, by path, size and modification time."""

    def __init__(self):
        self.lock = threading.Lock()
        self.entries = {}

    def get(self, path):
        stat = os.stat(path)
        key = (path, stat.st_size, stat.st_mtime_ns)
        with self.lock:
            hit = self.entries.get(path)
            if hit and hit[0] == key:
                return hit[1]
        with open(path, "rb") as file:
            data = file.read()
        etag = '"%s"' % hashlib.sha256(data).hexdigest()[:20]
        packed = None
        if os.path.splitext(path)[1] in COMPRESSED and len(data) > 256:
            packed = gzip.compress(data, 9, mtime=0)
        value = (data, etag, packed, stat.st_mtime)
        with self.lock:
            self.entries[path] = (key, value)
        return value


class Handler(http.server.SimpleHTTPRequestHandler):
    cache = Cache()
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    def do_HEAD(self):
        self.answer(head=True)

    def do_GET(self):
        self.answer(head=False)

    def answer(self, head):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not self.path.split("?")[0].endswith("/"):
                self.send_response(301)
                self.send_header("Location", self.path.split("?")[0] + "/")
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            path = os.path.join(path, "index.html")
        if not os.path.isfile(path):
            self.send_error(404, "Not found")
            return
        data, etag, packed, mtime = self.cache.get(path)
        name = os.path.basename(path)
        ext = os.path.splitext(name)[1]
        immutable = bool(HASHED.search(name))
        cache_control = ("public, max-age=31536000, immutable" if immutable else "no-cache")
        if not immutable and self.headers.get("If-None-Match") == etag:
            self.send_response(304)
            self.send_header("ETag", etag)
            self.send_header("Cache-Control", cache_control)
            self.end_headers()
            return
        gzipped = packed is not None and "gzip" in self.headers.get("Accept-Encoding", "")
        body = packed if gzipped else data
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(ext) or self.guess_type(path))
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", cache_control)
        self.send_header("ETag", etag)
        self.send_header("Last-Modified", email.utils.formatdate(mtime, usegmt=True))
        if packed is not None:
            self.send_header("Vary", "Accept-Encoding")
        if gzipped:
            self.send_header("Content-Encoding", "gzip")
        self.end_headers()
        if not head:
            try:
                self.wfile.write(body)
            except (BrokenPipeError, ConnectionResetError):
                pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("--port", type=int, default=8000)
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    site = os.path.abspath(args.site)

    class SiteHandler(Handler):
        def __init__(self, *a, **k):
            super().__init__(*a, directory=site, **k)

    server = http.server.ThreadingHTTPServer((args.bind, args.port), SiteHandler)
    server.daemon_threads = True
    server.verbose = args.verbose
    print("Drommel: http://%s:%d/   (Ctrl-C stops the server)" % (args.bind, server.server_port))
    sys.stdout.flush()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
