# SPDX-License-Identifier: MIT
"""Today's service: the album host, the film host and the image host, and what it refuses.

Three servers share one log and one clock. Refusals, checked in this order on every request
but /stats:
  - a User-Agent without "Mozilla/5.0": 418;
  - a page sooner than --min-gap-ms after the previous page (of either page host), or a picture
    sooner than --min-image-gap-ms after the previous picture: 302 to
    <album host>/misc/sorry?original-url=<the address asked for>;
  - with --slow-down N, N pictures in a row from the second on: 429 with the Retry-After of
    --retry-after;
  - an image without the album's Referer (<album host>/, <film host>/, the album's address or
    a page of a star's or a film's list): 418 with a 13-byte body labelled image/jpeg.
The image host serves /view/photo/<m|l|xl>/public/p<N>.<jpg|webp>; raw answers 403. The
star's and the film's lists and their photos are in today_lists; a site's album (on a
fourth server, the sites' host), a note and a topic in today_posts.
The image host answers 400 to any request that carries a cookie: the sign-in is for the album
and film hosts alone. What a signed-in visitor sees is in today_sign_in.py; the log names each
request's cookies.
"""

import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, quote, urlsplit

from . import today_lists, today_pages, today_photos, today_posts, today_sign_in
from .server import TlsServing
from .album import FIRST_PHOTO_ID, PHOTO_ID_STEP

HTML = "text/html; charset=utf-8"
TEXT = "text/plain; charset=utf-8"
MIME = {".jpg": "image/jpeg", ".webp": "image/webp"}
BROWSER_MARK = "Mozilla/5.0"
# What the image host sends instead of a photo asked for without the album's Referer.
HOTLINK_BODY = b"hotlink-deny!"
IDLE_TIMEOUT_SECONDS = 60


def base_address(server):
    """scheme://127.0.0.1:port of a server: https when it speaks TLS."""
    scheme = "https" if getattr(server, "tls_context", None) else "http"
    return f"{scheme}://127.0.0.1:{server.server_address[1]}"


class TodayLog:
    """Every request of both hosts in order, and the clock of the rate limit."""

    def __init__(self, min_gaps_ms, refuse_after=0, slow_downs=0):
        self._lock = threading.Lock()
        self._min_gap = {False: min_gaps_ms[0] / 1000, True: min_gaps_ms[1] / 1000}
        self._slow_downs = slow_downs  # 429s still to give, from the second picture on
        self._pictures = 0
        self._refuse_after = refuse_after  # requests served before a ban; 0: no ban
        self._counted = 0
        self._start = time.monotonic()
        self._previous = {}  # the last request's time, of pages and of pictures
        self._connections = 0
        self._requests = []

    def reset(self):
        """Forgets the requests and the clock of the rate limit, and lifts a ban for good."""
        with self._lock:
            self._requests = []
            self._previous = {}
            self._refuse_after = 0

    def connection_opened(self):
        with self._lock:
            self._connections += 1
            return self._connections

    def arrived(self, picture):
        """Milliseconds since start, whether the request is refused (it came too soon after the
        last of its kind, or after the ban began), and whether it is told to slow down."""
        with self._lock:
            now = time.monotonic()
            previous = self._previous.get(picture)
            too_soon = (previous is not None and self._min_gap[picture] > 0
                        and now - previous < self._min_gap[picture])
            self._previous[picture] = now
            self._counted += 1
            banned = 0 < self._refuse_after < self._counted
            slow_down = False
            if picture:
                self._pictures += 1
                if self._pictures > 1 and self._slow_downs > 0:
                    self._slow_downs -= 1
                    slow_down = True
            return (now - self._start) * 1000, too_soon or banned, slow_down

    def record(self, fields):
        with self._lock:
            self._requests.append(fields)

    def report(self):
        """Tab-separated key=value fields, one request a line; no value holds a tab."""
        with self._lock:
            connections = len({r["conn"] for r in self._requests})
            lines = [f"connections {connections}", f"requests {len(self._requests)}"]
            for r in self._requests:
                lines.append("request\t" + "\t".join(
                    f"{key}={str(value).replace(chr(9), ' ')}" for key, value in r.items()))
        return ("\n".join(lines) + "\n").encode("utf-8")


# What --hostile may make the service answer: photo 2 empty, a captcha page or the first three
# bytes of a JPEG in its place; next-page links over plain http; pages lost (the album's second
# page lists nothing and links nowhere, the friends' album sends to the sign-in, the star's
# second page is gone); the album moved to another album's address.
HOSTILE = ("empty-photo", "page-photo", "stub-photo", "plain-next", "lost-pages", "moved-album")


class TodayServers:
    """The album host on a free (or given) loopback port, the film host and the image host on
    two free ones."""

    def __init__(self, port, album, cache_dir, min_gaps_ms, quiet, sign_in_folder,
                 tls_context=None, refuse_after=0, hostile=None, slow_downs=(0, "1")):
        self.album = album
        self.sign_in = today_sign_in.SignIn(album, sign_in_folder)
        self.hostile = hostile  # one answer a hostile service gives, for the tests (HOSTILE)
        self.log = TodayLog(min_gaps_ms, refuse_after, slow_downs[0])
        self.retry_after = slow_downs[1]
        self.files = today_photos.load(cache_dir, album)
        self.thumb = self.files.get((0, "m", ".jpg"), b"")
        self.quiet = quiet
        self.pages = _Server(port, TodayPageHandler, self, tls_context)
        self.images = _Server(0, TodayImageHandler, self, tls_context)
        self.movie = _Server(0, TodayMovieHandler, self, tls_context)
        self.site = _Server(0, TodaySiteHandler, self, tls_context)
        self.lists = today_lists.Lists(cache_dir, self.album_base(), self.movie_base(),
                                       self.image_base())
        self.posts = today_posts.Posts(cache_dir, self.album_base(), base_address(self.site),
                                       self.image_base())

    def album_base(self):
        return base_address(self.pages)

    def image_base(self):
        return base_address(self.images)

    def movie_base(self):
        return base_address(self.movie)

    def site_host(self):
        return f"127.0.0.1:{self.site.server_address[1]}"

    def album_address(self):
        return self.album_base() + self.album.album_path()

    def private_address(self):
        return f"{self.album_base()}/photos/album/{today_pages.PRIVATE_ALBUM_ID}/"

    def serve(self):
        """Serves the image and film hosts on threads and the album host here, until shut down."""
        others = (self.images, self.movie, self.site)
        for server in others:
            threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            self.pages.serve_forever()
        finally:
            for server in others:
                server.shutdown()
                server.server_close()
            self.pages.server_close()

    def shutdown(self):
        self.pages.shutdown()


class _Server(TlsServing, ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, handler, today, tls_context=None):
        self.today = today
        self.tls_context = tls_context
        self.quiet = today.quiet
        super().__init__(("127.0.0.1", port), handler)


class TodayHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "SampleAlbum/1.0"
    timeout = IDLE_TIMEOUT_SECONDS
    host_name = ""

    def setup(self):
        super().setup()
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.connection_number = self.server.today.log.connection_opened()

    def do_GET(self):
        today = self.server.today
        path = urlsplit(self.path).path
        if path == "/stats":
            return self._send(200, TEXT, today.log.report(), None)
        if path == "/stats/reset":
            today.log.reset()
            return self._send(200, TEXT, b"reset\n", None)
        if path == "/feed" and self.host_name == "www":
            # Tarn's own announcements, which the demo shows: no part of the service.
            album = today.album
            return self._send(200, album.feed_content_type(), album.render_feed(today.album_base()),
                              None)
        ms, too_soon, slow_down = today.log.arrived(self.host_name == "img")
        fields = {"conn": self.connection_number, "host": self.host_name, "ms": f"{ms:.1f}",
                  "target": self.path, "user-agent": self.headers.get("User-Agent", ""),
                  "referer": self.headers.get("Referer", ""),
                  "fetch": "/".join(self.headers.get(f"Sec-Fetch-{name}", "")
                                    for name in ("Dest", "Mode", "Site")),
                  "cookies": today_sign_in.cookie_names(self.headers.get("Cookie", ""))}
        if BROWSER_MARK not in fields["user-agent"]:
            return self._send(418, HTML, _page("418 I'm a teapot"), fields)
        if too_soon:
            original = base_address(self.server) + self.path
            location = f"{today.album_base()}/misc/sorry?original-url={quote(original, safe='')}"
            return self._send(302, HTML, _page("请稍后再试"), fields, location)
        if slow_down:
            return self._send(429, HTML, _page("请求过于频繁"), fields,
                              retry_after=today.retry_after)
        return self.answer(path, fields)

    def answer(self, path, fields):
        raise NotImplementedError

    def _send(self, status, content_type, body, fields, location=None, retry_after=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        if location:
            self.send_header("Location", location)
        if retry_after:
            self.send_header("Retry-After", retry_after)
        self.end_headers()
        self.wfile.write(body)
        if fields is not None:
            fields.update(status=status, bytes=len(body))
            self.server.today.log.record(fields)

    def log_message(self, format, *args):
        if not self.server.today.quiet:
            sys.stderr.write(f"[{self.host_name} {self.connection_number}] {format % args}\n")


class TodayPageHandler(TodayHandler):
    host_name = "www"

    def answer(self, path, fields):
        today = self.server.today
        album = today.album
        base = today.album_base()
        query = parse_qs(urlsplit(self.path).query)
        if today.hostile == "lost-pages":
            if path == album.album_path() and query.get("m_start") == [str(album.per_page)]:
                return self._send(200, HTML, today_pages.render_empty(album, base), fields)
            if path == f"/photos/album/{today_sign_in.FRIENDS_ALBUM_ID}/":
                return self._send(302, HTML, b"", fields, today_sign_in.SIGN_IN_PAGE)
            if path == urlsplit(today.lists.star_address()).path and query.get("start") == ["30"]:
                return self._send(404, HTML, _page("页面不存在"), fields)
        if today.hostile == "moved-album" and path == album.album_path():
            return self._send(301, HTML, b"", fields,
                              f"/photos/album/{today_sign_in.SMALL_ALBUM_ID}/")
        if path == album.album_path():
            values = query.get("m_start", ["0"])
            start = int(values[0]) if values[0].isdigit() else -1
            if start in album.page_starts():
                page = today_pages.render_page(album, start, base, today.image_base())
                if today.hostile == "plain-next":
                    page = page.replace(b'<link rel="next" href="https://',
                                        b'<link rel="next" href="http://')
                return self._send(200, HTML, page, fields)
        elif path == f"/photos/album/{today_pages.PRIVATE_ALBUM_ID}/":
            return self._send(200, HTML, today_pages.render_private(base), fields)
        elif path == "/misc/sorry":
            return self._send(200, HTML, today_pages.render_sorry(base), fields)
        elif today.sign_in.answer(self, path, parse_qs(urlsplit(self.path).query), fields):
            return None
        post = today.posts.www_page(path, today.sign_in.signed_in(self.headers))
        if post is not None:
            return self._send(200, HTML, post, fields)
        return self._send_listed(today.lists.www_page(self.path), fields)

    def _send_listed(self, listed, fields):
        if listed is None:
            return self._send(404, HTML, _page("页面不存在"), fields)
        status, body, location = listed
        return self._send(status, HTML, body, fields, location)


class TodayMovieHandler(TodayPageHandler):
    host_name = "movie"

    def answer(self, path, fields):
        return self._send_listed(self.server.today.lists.movie_page(self.path), fields)


class TodaySiteHandler(TodayPageHandler):
    host_name = "site"

    def answer(self, path, fields):
        page = self.server.today.posts.site_page(self.path)
        if page is None:
            return self._send(404, HTML, _page("页面不存在"), fields)
        return self._send(page[0], HTML, page[1], fields)


class TodayImageHandler(TodayHandler):
    host_name = "img"

    def answer(self, path, fields):
        today = self.server.today
        if "Cookie" in self.headers:
            return self._send(400, HTML, _page("图片服务器不接收 Cookie"), fields)
        if not self._album_referer(fields["referer"]):
            return self._send(418, MIME[".jpg"], HOTLINK_BODY, fields)
        parts = path.split("/")  # "", view, photo, <size>, public, p<N>.<ext>
        post = today.posts.image(parts)
        if post is not None:
            status, body, extension = post
            if status != 200:
                return self._send(status, HTML, _page(f"{status}"), fields)
            return self._send(200, MIME[extension], body, fields)
        if len(parts) == 7:
            body = today.files.get(today.sign_in.image(parts))
            if body is None:
                return self._send(404, HTML, _page("页面不存在"), fields)
            return self._send(200, MIME[".jpg"], body, fields)
        if len(parts) != 6 or parts[1:3] != ["view", "photo"] or parts[4] != "public":
            return self._send(404, HTML, _page("页面不存在"), fields)
        size, name = parts[3], parts[5]
        if size == "raw":
            return self._send(403, HTML, _page("403 Forbidden"), fields)
        stem, dot, extension = name.rpartition(".")
        index = _photo_index(stem, today.album.photo_count)
        if index == 1 and today.hostile == "empty-photo":
            return self._send(200, MIME[".jpg"], b"", fields)
        if index == 1 and today.hostile == "stub-photo":
            return self._send(200, MIME[".jpg"], b"\xFF\xD8\xFF", fields)
        if index == 1 and today.hostile == "page-photo":
            return self._send(200, HTML, today_pages.render_sorry(today.album_base()), fields)
        if index is not None and size == "thumb" and index == 0 and extension == "jpg":
            return self._send(200, MIME[".jpg"], today.thumb, fields)
        body = (today.files.get((index, size, dot + extension)) if index is not None
                else today.lists.image(stem, size, dot + extension))
        if body is None:
            return self._send(404, HTML, _page("页面不存在"), fields)
        return self._send(200, MIME[dot + extension], body, fields)

    def _album_referer(self, referer):
        today = self.server.today
        base = today.album_base()
        return (referer in (base + "/", today.movie_base() + "/", today.album_address())
                or referer.startswith(today.album_address() + "?")
                or today.lists.is_list_referer(referer) or today.posts.is_referer(referer)
                or referer in today.sign_in.referers(base))


def _photo_index(stem, count):
    if not (stem.startswith("p") and stem[1:].isdigit()):
        return None
    offset = int(stem[1:]) - FIRST_PHOTO_ID
    if offset < 0 or offset % PHOTO_ID_STEP:
        return None
    index = offset // PHOTO_ID_STEP
    return index if index < count else None


def _page(message):
    return (f'<html><head><meta charset="utf-8"></head><body><h1>{message}</h1></body></html>\n'
            .encode("utf-8"))
