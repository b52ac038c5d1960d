# SPDX-License-Identifier: MIT
"""Today's service to a signed-in visitor: a test sign-in, and what only it lets one see.

The sign-in is made at start: bid, dbcl2 ("<visitor id>:<secret>", quoted) and ck, with fresh
random values, given as a Cookie line and as a cookies.txt for 127.0.0.1. A request is signed
in when its Cookie header carries that dbcl2; every page here sends any other request to the
sign-in host (https://accounts.localhost/passport/login?redir=<the address asked for>).

  /mine/                                the visitor's own page, titled with their name
  /people/hupan/photos                  the album owner's albums (16 a page; there are 3): the
                                        sample album, a friends-only album and a small one
  /photos/album/<FRIENDS_ALBUM_ID>/     the friends-only album; signed out, the notice page
  /photos/photo/<pid>/                  one of its photos: <div class="mainphoto"> with the
                                        large address
  /photos/album/<SMALL_ALBUM_ID>/       a public album of 4 photos (those of the sample album)

The friends' photos are on the image host at /view/photo/<m|l>/<token>/<uid>/x<pid>.jpg; each
size has a token of its own, and the large one appears only on the photo's page.
"""

import hashlib
import os
import secrets
from dataclasses import replace
from html import escape
from urllib.parse import quote

from . import today_pages
from .album import ALBUM_OWNER, ALBUM_TITLE, PHOTO_ID_STEP

PERSON = "hupan"
VISITOR_ID = "51234567"
VISITOR_NAME = "湖光测试者"
OWNER_UID = "63025111"
ALBUMS_PER_PAGE = 16

FRIENDS_ALBUM_ID = 1681427429
FRIENDS_TITLE = "只给朋友看的西湖"
FRIENDS_PHOTOS = 5
FRIENDS_FIRST_PID = 2290455503
# The sample photos the friends' photos show, so that they differ from the public ones.
FRIENDS_FIRST_INDEX = 20
FRIENDS_NOTICE = "这个相册已被设为仅好友可见"

SIGN_IN_PAGE = "https://accounts.localhost/passport/login?source=main"

SMALL_ALBUM_ID = 1681427430
SMALL_TITLE = "断桥残雪"
SMALL_PHOTOS = 4


def _token(pid, size):
    return hashlib.sha1(f"{size}/{pid}".encode()).hexdigest()[:16]


def cookie_names(header):
    """The names of a Cookie header, comma-separated: what the log may show of it."""
    return ",".join(item.split("=", 1)[0].strip() for item in header.split(";") if item.strip())


class SignIn:
    def __init__(self, album, folder):
        self.album = album
        self.dbcl2 = f'"{VISITOR_ID}:{secrets.token_urlsafe(24)}"'
        self.cookies = [("bid", secrets.token_urlsafe(8)), ("dbcl2", self.dbcl2),
                        ("ck", secrets.token_urlsafe(3))]
        self.small = replace(album, album_id=SMALL_ALBUM_ID, photo_count=SMALL_PHOTOS)
        self.pids = [FRIENDS_FIRST_PID + PHOTO_ID_STEP * i for i in range(FRIENDS_PHOTOS)]
        self.file = os.path.join(folder, "cookies.txt")
        lines = ["# Netscape HTTP Cookie File"]
        lines += [f"127.0.0.1\tFALSE\t/\tTRUE\t0\t{name}\t{value}" for name, value in self.cookies]
        with open(os.open(self.file, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600), "w") as f:
            f.write("\n".join(lines) + "\n")

    def cookie_line(self):
        """The Cookie line without blanks, so that it stands in the READY line as one field."""
        return ";".join(f"{name}={value}" for name, value in self.cookies)

    def ready_fields(self, base):
        return (f"friends={base}/photos/album/{FRIENDS_ALBUM_ID}/ "
                f"person={base}/people/{PERSON}/photos small={base}/photos/album/{SMALL_ALBUM_ID}/ "
                f"mine={base}/mine/ cookie={self.cookie_line()} cookies={self.file}")

    def referers(self, base):
        """Pages of this module whose address an image request may carry as its Referer."""
        return ([f"{base}/photos/album/{FRIENDS_ALBUM_ID}/",
                 f"{base}/photos/album/{SMALL_ALBUM_ID}/"] +
                [f"{base}/photos/photo/{pid}/" for pid in self.pids])

    def signed_in(self, headers):
        for item in (headers.get("Cookie") or "").split(";"):
            name, _, value = item.strip().partition("=")
            if name == "dbcl2" and value == self.dbcl2:
                return True
        return False

    def answer(self, handler, path, query, fields):
        """Answers a page of this module and returns True, or returns False for others."""
        today = handler.server.today
        base, image_base = today.album_base(), today.image_base()
        if path == f"/photos/album/{SMALL_ALBUM_ID}/":
            page = today_pages.render_page(self.small, 0, base, image_base)
            page = page.replace(escape(ALBUM_TITLE).encode(), SMALL_TITLE.encode())
            handler._send(200, _HTML, page, fields)
            return True
        friends_photo = path.startswith("/photos/photo/") and path[14:-1] in map(str, self.pids)
        if path not in ("/mine/", f"/people/{PERSON}/photos",
                        f"/photos/album/{FRIENDS_ALBUM_ID}/") and not friends_photo:
            return False
        if self.signed_in(handler.headers):
            handler._send(200, _HTML, self._page(path, query, base, image_base), fields)
        elif path == f"/photos/album/{FRIENDS_ALBUM_ID}/":
            handler._send(200, _HTML, today_pages._document(
                f"{ALBUM_OWNER}的相册-{FRIENDS_TITLE}", base,
                f'<div class="article"><p class="pl2">{FRIENDS_NOTICE}</p></div>\n'), fields)
        else:
            asked = quote(base + handler.path, safe="")
            location = f"{SIGN_IN_PAGE}&redir={asked}"
            handler._send(302, _HTML, b"", fields, location)
        return True

    def image(self, parts):
        """The file of a friends' photo at ["", view, photo, size, token, uid, x<pid>.jpg]."""
        if len(parts) != 7 or parts[1:3] != ["view", "photo"] or parts[5] != OWNER_UID:
            return None
        size, token, name = parts[3], parts[4], parts[6]
        pid = int(name[1:-4]) if name.startswith("x") and name.endswith(".jpg") and \
            name[1:-4].isdigit() else None
        if pid not in self.pids or size not in ("m", "l") or token != _token(pid, size):
            return None
        index = (FRIENDS_FIRST_INDEX + self.pids.index(pid)) % max(self.album.photo_count, 1)
        return (index, size, ".jpg")

    def _page(self, path, query, base, image_base):
        if path == "/mine/":
            return today_pages._document(VISITOR_NAME, base,
                                         f'<div class="info"><h1>{VISITOR_NAME}</h1></div>\n')
        if path.startswith("/people/"):
            return self._albums(query, base, image_base)
        if path.startswith("/photos/album/"):
            return self._friends_album(base, image_base)
        pid = int(path[14:-1])
        return today_pages._document(
            f"{ALBUM_OWNER}的相册-{FRIENDS_TITLE}", base,
            f'<div class="mainphoto">\n  <a href="{base}/photos/photo/{pid}/#image">'
            f'<img src="{self._address(pid, "l", image_base)}" width="600" /></a>\n</div>\n')

    def _address(self, pid, size, image_base):
        return f"{image_base}/view/photo/{size}/{_token(pid, size)}/{OWNER_UID}/x{pid}.jpg"

    def _friends_album(self, base, image_base):
        entries = "".join(
            f'<div class="photo_wrap">\n  <a href="{base}/photos/photo/{pid}/" '
            f'class="photolst_photo" title="好友照片 {n + 1}">\n'
            f'    <img src="{self._address(pid, "m", image_base)}" alt="好友照片 {n + 1}" />\n'
            f'  </a><br/>\n  <div class="pl">好友照片 {n + 1}</div>\n</div>\n'
            for n, pid in enumerate(self.pids))
        return today_pages._document(
            f"{ALBUM_OWNER}的相册-{FRIENDS_TITLE}", base,
            f'<div class="pl photitle"><span>共{FRIENDS_PHOTOS}张照片</span></div>\n'
            f'<div class="photolst clearfix">\n{entries}</div>\n')

    def _albums(self, query, base, image_base):
        albums = [(self.album.album_id, ALBUM_TITLE, self.album.photo_count, "", 0),
                  (FRIENDS_ALBUM_ID, FRIENDS_TITLE, FRIENDS_PHOTOS, " 仅好友可见", None),
                  (SMALL_ALBUM_ID, SMALL_TITLE, SMALL_PHOTOS, "", 0)]
        start = query.get("start", ["0"])[0]
        start = int(start) if start.isdigit() else 0
        items = []
        for album_id, title, count, private, cover in albums[start:start + ALBUMS_PER_PAGE]:
            link = f"{base}/photos/album/{album_id}/"
            picture = (self._address(self.pids[0], "m", image_base) if cover is None else
                       today_pages.photo_address(self.album, cover, image_base))
            items.append(
                f'<div class="albumlst">\n  <a class="album_photo" href="{link}">'
                f'<img class="album" src="{picture}" alt="{escape(title)}"/></a>\n'
                f'  <div class="albumlst_r">\n    <div class="pl2"><a href="{link}">'
                f'{escape(title)}</a>{private}</div>\n'
                f'    <span class="pl">{count}张照片</span>\n  </div>\n</div>\n')
        pages = -(-len(albums) // ALBUMS_PER_PAGE)
        return today_pages._document(
            f"{ALBUM_OWNER}的相册", base,
            '<div class="wr">\n' + "".join(items) + '</div>\n<div class="paginator">'
            f'<span class="thispage" data-total-page="{pages}">1</span></div>\n')


_HTML = "text/html; charset=utf-8"
