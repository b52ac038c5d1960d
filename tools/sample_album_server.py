#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Sample album server: a generated photo album and announcement feed on 127.0.0.1.

    tools/sample_album_server.py --port 0
    READY port=43127 photos=40 pages=3 album=http://127.0.0.1:43127/photos/album/1681427427/ feed=http://127.0.0.1:43127/feed cache=/tmp/tarn-sample-album-v2

The READY line goes to stdout once the server listens (the photos are drawn first, into the
cache, which takes some seconds the first time). Point the program at it with
TARN_PHOTO_HOST=127.0.0.1:<port> and TARN_FEED_URL=<feed>. Routes:

  /photos/album/<id>/ and ?start=<S>   album pages, UTF-8 HTML, --per-page photos each
  /view/photo/thumb/public/p<N>.jpg    thumbnails named on the pages
  /view/photo/photo/public/p<N>.jpg    the full-size photos (the same address, "thumb"->"photo")
  /feed, /notes/<n>                    announcement feed (UTF-8, or GBK with --feed-encoding
                                       gbk) and the pages it links to
  /manifest                            per photo: index, size, full-size address, cached file
  /stats, /stats/reset                 connections and requests so far; forget them

With --export DIR --host HOST:PORT it writes the album as static files instead of serving
(with https:// addresses when --tls is given too; no certificate is made then).

With --tls it serves the same over HTTPS, every address in its pages with https://. It makes
a test authority and a certificate for 127.0.0.1 and localhost at start (with the openssl
command, into a temporary folder removed at the end, or into --cert-dir DIR which is kept),
and its READY line ends with ca=<file>: point SSL_CERT_FILE at that file to trust it.

With --today it serves the album over HTTPS (as --tls) as today's service does (see sample_album/today_server.py):
pages in today's markup at /photos/album/<id>/ and ?m_start=<S>, a private album, and the
photos on a second port standing for the image host; its READY line adds image=<base>,
image_port=<port> and private=<album>, and /stats logs each request's time, User-Agent,
Referer, Sec-Fetch-* lines and cookie names. --min-gap-ms MS adds the rate limit of the page
hosts, --min-image-gap-ms MS the image host's, --slow-down N 429s, --refuse-after N a ban after
N requests, --hostile KIND one answer of a hostile service (photo 2 empty or a captcha page,
http next links). It serves a star's photos (star=<address>, 75 photos, 30 a page) and, on a third port standing
for the film host (movie=<base>), a film's stills and posters (film=<address> with type=S;
type=R the posters) and the old star address celebrity=<address>, which redirects to the
star under another id (see sample_album/today_lists.py). It also makes a test sign-in and
serves what only a signed-in visitor sees (see sample_album/today_sign_in.py); the READY line
adds friends=<friends-only album>, person=<the owner's albums>, small=<a third album>,
mine=<the check page>, cookie=<the sign-in as a Cookie line, without blanks> and
cookies=<the same as a cookies.txt, in the certificate folder>. On a fourth port standing for
the sites' host (site_host=<host:port>) it serves a site's album of 45 photos (site=<address>),
and on the album host a note with 6 pictures, one only for the signed-in visitor
(note=<address>), and a group topic with 4 (topic=<address>); see sample_album/today_posts.py.

A test that starts the server should pass --watch-stdin and keep a pipe to its standard
input: closing the pipe (or the test dying) stops the server. Killing the pid it spawned may
only kill a launcher such as pyenv's python3 shim, not the server.
"""

import argparse
import os
import shutil
import signal
import ssl
import sys
import tempfile
import threading

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__

from sample_album import photos  # noqa: E402
from sample_album.album import DEFAULT_ALBUM_ID, Album  # noqa: E402
from sample_album.export import export  # noqa: E402
from sample_album import today_lists, today_photos  # noqa: E402
from sample_album.server import Faults, SampleAlbumServer  # noqa: E402
from sample_album.test_authority import make_authority  # noqa: E402
from sample_album.today_server import HOSTILE, TodayServers  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--port", type=int, default=8080, help="0 picks a free port")
    parser.add_argument("--photos", type=int, default=40, help="photos in the album")
    parser.add_argument("--per-page", type=int, default=18, help="photos on one album page")
    parser.add_argument("--album-id", type=int, default=DEFAULT_ALBUM_ID)
    parser.add_argument("--cache", default=photos.default_cache_dir(),
                        help="folder of the drawn photos, kept between runs")
    parser.add_argument("--fail-first", type=int, default=0, metavar="N",
                        help="answer the first N requests of each photo with 500")
    parser.add_argument("--cut-first", type=int, default=0, metavar="N",
                        help="then cut the next N answers of each photo short")
    parser.add_argument("--fail-pages", type=int, default=0, metavar="N",
                        help="answer the first N requests of each album page with 500")
    parser.add_argument("--fail-feed", type=int, default=0, metavar="N",
                        help="answer the first N requests of the feed with 500")
    parser.add_argument("--feed-encoding", choices=["utf-8", "gbk"], default="utf-8",
                        help="gbk: the feed in GBK with no charset in its Content-Type, as "
                             "feeds written for Chinese Windows are")
    parser.add_argument("--photo-delay-ms", type=int, default=0, metavar="MS",
                        help="pause before every photo answer")
    parser.add_argument("--today", action="store_true",
                        help="serve the album as today's service does: today's markup, "
                             "photos on a second port, the service's refusals")
    parser.add_argument("--min-gap-ms", type=int, default=0, metavar="MS",
                        help="with --today: answer a request that comes sooner than MS after "
                             "the previous one with a redirect to /misc/sorry")
    parser.add_argument("--min-image-gap-ms", type=int, default=0, metavar="MS",
                        help="with --today: the same for the image host, whose requests are "
                             "timed apart from the pages'")
    parser.add_argument("--slow-down", type=int, default=0, metavar="N",
                        help="with --today: answer N image requests in a row, from the second "
                             "on, with 429 and Retry-After: S (--retry-after)")
    parser.add_argument("--retry-after", default="1", metavar="S",
                        help="with --slow-down: the Retry-After value, seconds or a date")
    parser.add_argument("--quiet", action="store_true", help="no request log on stderr")
    parser.add_argument("--watch-stdin", action="store_true",
                        help="stop when standard input reaches its end, so the server "
                             "ends with the test that started it")
    parser.add_argument("--refuse-after", type=int, default=0, metavar="N",
                        help="with --today: answer every request after the first N with the "
                             "redirect to the captcha page, as a ban (/stats/reset lifts it)")
    parser.add_argument("--hostile", choices=HOSTILE,
                        help="with --today: photo 2 empty or a captcha page, or http next links")
    parser.add_argument("--tls", action="store_true",
                        help="serve over HTTPS with a certificate from a test authority")
    parser.add_argument("--cert-dir", metavar="DIR",
                        help="with --tls: make the authority here and keep it")
    parser.add_argument("--export", metavar="DIR", help="write static files and exit")
    parser.add_argument("--host", default="127.0.0.1:8080",
                        help="host[:port] in the exported pages' addresses")
    args = parser.parse_args()
    if args.photos < 0 or args.per_page < 1:
        parser.error("--photos must be 0 or more and --per-page 1 or more")

    album = Album(album_id=args.album_id, photo_count=args.photos, per_page=args.per_page,
                  feed_encoding=args.feed_encoding)
    cache = os.path.abspath(args.cache)
    drawn = photos.ensure_photos(cache, album)
    if drawn:
        print(f"drew {drawn} photos into {cache}", file=sys.stderr)

    if args.export:
        export(album, cache, args.export, args.host, "https" if args.tls else "http")
        print(f"EXPORTED photos={album.photo_count} pages={len(album.page_starts())} "
              f"dir={os.path.abspath(args.export)}", flush=True)
        return

    faults = Faults(fail_first=args.fail_first, cut_first=args.cut_first,
                    fail_pages=args.fail_pages, fail_feed=args.fail_feed,
                    photo_delay_ms=args.photo_delay_ms)
    made_folder = None
    tls_context = None
    ready_extra = ""
    # Today's service speaks HTTPS only.
    if args.tls or args.today:
        folder = args.cert_dir or tempfile.mkdtemp(prefix="tarn-sample-ca-")
        made_folder = None if args.cert_dir else folder
        authority = make_authority(os.path.abspath(folder))
        tls_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls_context.load_cert_chain(authority["server"], authority["key"])
        ready_extra = f" ca={authority['ca']}"
    try:
        if args.today:
            return _serve_today(args, album, cache, os.path.abspath(folder), tls_context,
                                ready_extra)
        server = SampleAlbumServer(args.port, album, cache, faults, args.quiet, tls_context)
        # A plain kill (SIGTERM) closes the listening socket like Ctrl-C does.
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
        port = server.server_address[1]
        base = f"{server.scheme}://127.0.0.1:{port}"
        print(f"READY port={port} photos={album.photo_count} pages={len(album.page_starts())} "
              f"album={base}{album.album_path()} feed={base}/feed cache={cache}{ready_extra}",
              flush=True)
        if args.watch_stdin:
            threading.Thread(target=_stop_at_end_of_input, args=(server,), daemon=True).start()
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass
        finally:
            server.server_close()
    finally:
        if made_folder:
            shutil.rmtree(made_folder, ignore_errors=True)


def _serve_today(args, album, cache, sign_in_folder, tls_context, ready_extra):
    made = today_photos.ensure_variants(cache, album) + today_lists.ensure_sources(cache)
    if made:
        print(f"made {made} photo sizes and formats into {cache}", file=sys.stderr)
    servers = TodayServers(args.port, album, cache, (args.min_gap_ms, args.min_image_gap_ms),
                           args.quiet, sign_in_folder, tls_context, args.refuse_after,
                           args.hostile, (args.slow_down, args.retry_after))
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print(f"READY port={servers.pages.server_address[1]} photos={album.photo_count} "
          f"pages={len(album.page_starts())} album={servers.album_address()} "
          f"image={servers.image_base()} image_port={servers.images.server_address[1]} "
          f"private={servers.private_address()} feed={servers.album_base()}/feed "
          f"movie={servers.movie_base()} star={servers.lists.star_address()} "
          f"film={servers.lists.film_address()} celebrity={servers.lists.celebrity_address()} "
          f"site={servers.posts.site_address()} site_host={servers.site_host()} "
          f"note={servers.posts.note_address()} topic={servers.posts.topic_address()} "
          f"cache={cache} {servers.sign_in.ready_fields(servers.album_base())}{ready_extra}",
          flush=True)
    if args.watch_stdin:
        threading.Thread(target=_stop_at_end_of_input, args=(servers,), daemon=True).start()
    try:
        servers.serve()
    except KeyboardInterrupt:
        pass


def _stop_at_end_of_input(server):
    while sys.stdin.buffer.read(4096):
        pass
    server.shutdown()


if __name__ == "__main__":
    main()
