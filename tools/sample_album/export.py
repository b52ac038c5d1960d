# SPDX-License-Identifier: MIT
"""Writes the album as static files for a static web server on a known host and port.

Layout under the output folder (addresses inside the pages are absolute, on `host`):
  photos/album/<id>/page.html        the first page, /photos/album/<id>/
  photos/album/<id>/page<S>.html     the page at /photos/album/<id>/?start=<S>
  view/photo/photo/public/p<N>.jpg   full-size photos; view/photo/thumb/... the thumbnails
  feed.html                          the announcement feed, /feed
  manifest.tsv                       the same lines as the live server's /manifest
A server maps the page addresses with the query in the file name; for nginx:
  location = /photos/album/<id>/ { try_files $uri/page$arg_start.html =404; }
Over https the pages are today's (see today_pages.py): later pages are ?m_start=<S> (so
$arg_m_start above), and each photo is served in the large size the program asks for first,
view/photo/l/public/p<id>.jpg, which the manifest names.
"""

import os
import shutil

from . import photos as photo_files
from . import today_pages


def export(album, cache_dir, out_dir, host, scheme="http"):
    base = f"{scheme}://{host}"
    if scheme == "https":
        return _export_today(album, cache_dir, out_dir, base)
    pages_dir = os.path.join(out_dir, album.album_path().strip("/"))
    os.makedirs(pages_dir, exist_ok=True)
    for start in album.page_starts():
        name = "page.html" if start == 0 else f"page{start}.html"
        _write(os.path.join(pages_dir, name), album.render_page(start, base))

    manifest = []
    for i in range(album.photo_count):
        for path, source in ((album.photo_path(i), photo_files.photo_file(cache_dir, i)),
                             (album.thumb_path(i), photo_files.thumb_file(cache_dir, i))):
            target = os.path.join(out_dir, path.lstrip("/"))
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(source, target)
        photo = os.path.join(out_dir, album.photo_path(i).lstrip("/"))
        manifest.append(f"{i}\t{os.path.getsize(photo)}\t{base}{album.photo_path(i)}\t{photo}\n")

    _write(os.path.join(out_dir, "feed.html"), album.render_feed(base))
    _write(os.path.join(out_dir, "manifest.tsv"), "".join(manifest).encode("utf-8"))


def _export_today(album, cache_dir, out_dir, base):
    """An album served over https is today's: its pages, and its photos in the large size."""
    pages_dir = os.path.join(out_dir, album.album_path().strip("/"))
    os.makedirs(pages_dir, exist_ok=True)
    for start in album.page_starts():
        name = "page.html" if start == 0 else f"page{start}.html"
        _write(os.path.join(pages_dir, name), today_pages.render_page(album, start, base, base))
    manifest = []
    for i in range(album.photo_count):
        path = today_pages.photo_address(album, i, "", size="l", extension=".jpg")
        target = os.path.join(out_dir, path.lstrip("/"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(photo_files.photo_file(cache_dir, i), target)
        manifest.append(f"{i}\t{os.path.getsize(target)}\t{base}{path}\t{target}\n")
    _write(os.path.join(out_dir, "feed.html"), album.render_feed(base))
    _write(os.path.join(out_dir, "manifest.tsv"), "".join(manifest).encode("utf-8"))


def _write(path, data):
    with open(path, "wb") as f:
        f.write(data)
