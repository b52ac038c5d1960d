# SPDX-License-Identifier: MIT
"""The HTTP/1.1 server: album pages, photos, thumbnails, the feed, and what was asked of it.

Connections are kept alive and every answer carries Content-Length. Faults are counted per
photo (and per page) so a client that retries sees the first answers fail and a later one
succeed.
"""

import socket
import ssl
import sys
import threading
import time
from dataclasses import dataclass
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

from . import photos as photo_files
from .album import ANNOUNCEMENTS

HTML = "text/html; charset=utf-8"
TEXT = "text/plain; charset=utf-8"
JPEG = "image/jpeg"

# An idle kept connection is dropped after this long, so its thread ends.
IDLE_TIMEOUT_SECONDS = 60


@dataclass(frozen=True)
class Faults:
    fail_first: int = 0  # requests of each photo answered 500 before it is served
    cut_first: int = 0  # then answers of each photo cut short: half the body, then close
    fail_pages: int = 0  # requests of each album page answered 500 before it is served
    fail_feed: int = 0  # requests of the feed answered 500 before it is served
    photo_delay_ms: int = 0  # pause before every photo answer, like a slow network


class Stats:
    """Every request in order with the connection it came on, and the fault counters.

    The report's "connections" counts the connections that carried those requests, so a
    client that keeps its connection alive shows 1.
    """

    def __init__(self):
        self._lock = threading.Lock()
        self._connections = 0
        self.reset()

    def reset(self):
        """Forgets the requests and restarts the fault counters; connection numbers go on."""
        with self._lock:
            self._requests = []
            self._tries = {}

    def connection_opened(self):
        with self._lock:
            self._connections += 1
            return self._connections

    def next_try(self, key):
        """How often `key` was asked for before this request (0 for the first time)."""
        with self._lock:
            tries = self._tries.get(key, 0)
            self._tries[key] = tries + 1
            return tries

    def record(self, connection, status, sent, target):
        with self._lock:
            self._requests.append((connection, status, sent, target))

    def report(self):
        with self._lock:
            connections = len({c for c, _, _, _ in self._requests})
            lines = [f"connections {connections}", f"requests {len(self._requests)}"]
            lines += [f"request conn={c} status={s} bytes={b} target={t}"
                      for c, s, b, t in self._requests]
        return ("\n".join(lines) + "\n").encode("utf-8")


class TlsServing:
    """Mixed into a server with `tls_context` (None for plain HTTP) and `quiet`: each accepted
    connection speaks TLS, and clients that refuse the certificate are no error."""

    def get_request(self):
        connection, address = super().get_request()
        if self.tls_context:
            # The handshake waits for the handler's thread, so one slow client holds no other.
            connection = self.tls_context.wrap_socket(connection, server_side=True,
                                                      do_handshake_on_connect=False)
        return connection, address

    def handle_error(self, request, client_address):
        if isinstance(sys.exc_info()[1], (ssl.SSLError, ConnectionError)):
            # A client that refused our certificate or went away: nothing to report.
            if not self.quiet:
                print(f"TLS: {sys.exc_info()[1]}", file=sys.stderr)
            return
        super().handle_error(request, client_address)


class SampleAlbumServer(TlsServing, ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, album, cache_dir, faults, quiet, tls_context=None):
        self.tls_context = tls_context
        self.scheme = "https" if tls_context else "http"
        self.album = album
        self.cache_dir = cache_dir
        self.faults = faults
        self.quiet = quiet
        self.stats = Stats()
        indexes = range(album.photo_count)
        self.photos = [_read(photo_files.photo_file(cache_dir, i)) for i in indexes]
        self.thumbs = [_read(photo_files.thumb_file(cache_dir, i)) for i in indexes]
        super().__init__(("127.0.0.1", port), AlbumHandler)


    def manifest(self, base):
        """One line per photo in album order: index, size, full-size address, cached file."""
        lines = [f"{i}\t{len(self.photos[i])}\t{base}{self.album.photo_path(i)}\t"
                 f"{photo_files.photo_file(self.cache_dir, i)}"
                 for i in range(self.album.photo_count)]
        return "".join(line + "\n" for line in lines).encode("utf-8")


def _read(path):
    with open(path, "rb") as f:
        return f.read()


class AlbumHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "SampleAlbum/1.0"
    timeout = IDLE_TIMEOUT_SECONDS

    def setup(self):
        super().setup()
        if self.server.tls_context:
            self.request.do_handshake()
        # Headers and body go out in separate writes; with Nagle on, the body would wait for
        # the client's delayed ACK of the headers on every kept-alive answer.
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.connection_number = self.server.stats.connection_opened()

    def do_GET(self):
        parts = urlsplit(self.path)
        path = parts.path
        album = self.server.album
        stats = self.server.stats
        faults = self.server.faults

        if path == "/stats":
            return self._send(200, TEXT, stats.report(), record=False)
        if path == "/stats/reset":
            stats.reset()
            return self._send(200, TEXT, b"reset\n", record=False)
        if path == "/manifest":
            return self._send(200, TEXT, self.server.manifest(self._base()), record=False)

        if path == album.album_path():
            start = self._start(parts.query)
            if start not in album.page_starts():
                return self._not_found()
            if stats.next_try(("page", start)) < faults.fail_pages:
                return self._send(500, HTML, _error_page("相册页面暂时无法访问"))
            return self._send(200, HTML, album.render_page(start, self._base()))

        index = album.photo_index(path, "photo")
        if index is not None:
            if faults.photo_delay_ms:
                time.sleep(faults.photo_delay_ms / 1000)
            tries = stats.next_try(("photo", index))
            if tries < faults.fail_first:
                return self._send(500, HTML, _error_page("图片服务器忙"))
            if tries < faults.fail_first + faults.cut_first:
                return self._send(200, JPEG, self.server.photos[index], cut=True)
            return self._send(200, JPEG, self.server.photos[index])

        index = album.photo_index(path, "thumb")
        if index is not None:
            return self._send(200, JPEG, self.server.thumbs[index])

        if path == "/feed":
            if stats.next_try("feed") < faults.fail_feed:
                return self._send(500, HTML, _error_page("公告暂时无法读取"))
            return self._send(200, album.feed_content_type(), album.render_feed(self._base()))
        if path.startswith("/notes/"):
            number = path[len("/notes/"):]
            if number.isdigit() and 1 <= int(number) <= len(ANNOUNCEMENTS):
                return self._send(200, HTML, album.render_note(int(number), self._base()))
        if path == "/":
            return self._send(200, HTML, album.render_index(self._base()))
        return self._not_found()

    def _base(self):
        host = self.headers.get("Host") or f"127.0.0.1:{self.server.server_address[1]}"
        return f"{self.server.scheme}://{host}"

    @staticmethod
    def _start(query):
        values = parse_qs(query).get("start", ["0"])
        return int(values[0]) if values[0].isdigit() else -1

    def _not_found(self):
        self._send(404, HTML, _error_page("页面不存在"))

    def _send(self, status, content_type, body, cut=False, record=True):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        sent = body[:len(body) // 2] if cut else body
        self.wfile.write(sent)
        if cut:
            # The promised length never arrives: the connection just ends.
            self.close_connection = True
        if record:
            self.server.stats.record(self.connection_number, status, len(sent), self.path)

    def log_message(self, format, *args):
        if not self.server.quiet:
            sys.stderr.write(f"[conn {self.connection_number}] {format % args}\n")


def _error_page(message):
    page = f'<html><head><meta charset="utf-8"></head><body><h1>{message}</h1></body></html>\n'
    return page.encode("utf-8")
