# SPDX-License-Identifier: MIT
"""A site's album, a note and a group topic on today's service.

  site  /<SITE>/widget/photos/<SITE_ALBUM_ID>/ (?start=30)  the site's album: 45 photos, 30 a
                                                          page; its second page answers 404 the
                                                          first time it is asked, then 200
  www   /note/<NOTE_ID>/                                  a note with 6 pictures; the last only
                                                          for the signed-in visitor
  www   /group/topic/<TOPIC_ID>/                          a topic whose post has 4 pictures
                                                          (and a comment with one more)
  img   /view/photo/<thumb|photo|l|large>/public/p<id>.jpg          the site's photos
        /view/note/<small|l|large>/public/p<id>.jpg                 the note's pictures
        /view/note/<l|large>/<NOTE_TOKEN>/<OWNER_UID>/x<id>.jpg     its private one
        /view/group_topic/<l|large>/public/p<id>.<jpg|webp>         the topic's pictures

Every picture takes its bytes from the drawn photos of today_lists (thumb, photo and small
are the drawn thumbnail, l the drawn photo, large its xl). The topic's second picture exists
only as .webp; raw answers 403 everywhere.
"""

import threading
from urllib.parse import parse_qs, urlsplit

from . import today_lists, today_photos
from .today_sign_in import OWNER_UID

SITE = "westlake"
SITE_ALBUM_ID = 181427
SITE_PHOTOS = 45
SITE_PER_PAGE = 30
NOTE_ID = 901427427
NOTE_PICTURES = 6
NOTE_TOKEN = "c0ffee42"
TOPIC_ID = 314159265
TOPIC_PICTURES = 4
TOPIC_WEBP_ONLY = 1
TITLE = {"site": "西湖小站的相册", "note": "断桥边的一天", "topic": "湖边拍到的鸟"}
AUTHOR = "湖畔"
# Ids of each kind: below the lists', so none is taken for another's.
_FIRST = {"site": 2000000011, "note": 2010000017, "topic": 2020000029}
_SOURCE_START = {"site": 0, "note": 10, "topic": 30}
_SIZES = {"site": {"thumb": "m", "photo": "m", "l": "l", "large": "xl"},
          "note": {"small": "m", "l": "l", "large": "xl"},
          "topic": {"l": "l", "large": "xl"}}
_SEGMENT = {"site": "photo", "note": "note", "topic": "group_topic"}


def pid(kind, k):
    return _FIRST[kind] + today_lists.PHOTO_ID_STEP * k


def source_index(kind, k):
    """The drawn photo whose files picture k of `kind` serves."""
    return (_SOURCE_START[kind] + k) % today_lists.SOURCE_PHOTOS


class Posts:
    def __init__(self, cache_dir, www_base, site_base, image_base):
        self.cache_dir = cache_dir
        self.www, self.site, self.images = www_base, site_base, image_base
        self._asked_second_page = threading.Event()
        self._ids = {(kind, f"{pid(kind, k)}"): k for kind, count in
                     (("site", SITE_PHOTOS), ("note", NOTE_PICTURES), ("topic", TOPIC_PICTURES))
                     for k in range(count)}

    def site_address(self):
        return f"{self.site}/{SITE}/widget/photos/{SITE_ALBUM_ID}/"

    def note_address(self):
        return f"{self.www}/note/{NOTE_ID}/"

    def topic_address(self):
        return f"{self.www}/group/topic/{TOPIC_ID}/"

    def is_referer(self, referer):
        return referer.split("?", 1)[0] in (self.site_address(), self.note_address(),
                                            self.topic_address())

    def www_page(self, path, signed_in):
        """The body of the note or the topic at `path`, or None for another path."""
        if path == urlsplit(self.note_address()).path:
            return self._note(signed_in)
        if path == urlsplit(self.topic_address()).path:
            return self._topic()
        return None

    def site_page(self, target):
        """(status, body) of the site host's `target`, or None when it is not the album's."""
        parts = urlsplit(target)
        if parts.path != urlsplit(self.site_address()).path:
            return None
        values = parse_qs(parts.query).get("start", ["0"])
        start = int(values[0]) if values[0].isdigit() else -1
        if start not in range(0, SITE_PHOTOS, SITE_PER_PAGE):
            return None
        if start and not self._asked_second_page.is_set():
            self._asked_second_page.set()  # as the service does now and then
            return 404, today_lists.document("页面不存在", "", heading=False)
        return 200, self._site_page(start)

    def image(self, parts):
        """The (status, bytes, extension) of an image path split at '/', or None when it is no
        picture of these pages."""
        if len(parts) not in (6, 7) or parts[1] != "view":
            return None
        kind = {"photo": "site", "note": "note", "group_topic": "topic"}.get(parts[2])
        stem, _, extension = parts[-1].rpartition(".")
        k = self._ids.get((kind, stem[1:]))
        if kind is None or k is None:
            return None
        private = kind == "note" and k == NOTE_PICTURES - 1
        where = [NOTE_TOKEN, OWNER_UID] if private else ["public"]
        if parts[4:-1] != where or stem[0] != ("x" if private else "p"):
            return None
        size = _SIZES[kind].get(parts[3])
        extension = "." + extension
        if parts[3] == "raw":
            return 403, b"", extension
        if (size is None or extension not in (".jpg", ".webp")
                or (kind != "topic" and extension != ".jpg")
                or (kind == "topic" and k == TOPIC_WEBP_ONLY and extension == ".jpg")
                or (private and size == "m")):
            return 404, b"", extension
        path = today_photos.file_path(self.cache_dir, source_index(kind, k), size, extension)
        with open(path, "rb") as f:
            return 200, f.read(), extension

    def _picture(self, kind, k, size):
        if kind == "note" and k == NOTE_PICTURES - 1:
            return f"{self.images}/view/note/{size}/{NOTE_TOKEN}/{OWNER_UID}/x{pid(kind, k)}.jpg"
        extension = ".webp" if kind == "topic" and k % 2 else ".jpg"
        return f"{self.images}/view/{_SEGMENT[kind]}/{size}/public/p{pid(kind, k)}{extension}"

    def _site_page(self, start):
        entries = "".join(
            f'<li>\n  <div class="photo-item">\n    <a class="album_photo" href="{self.site}/{SITE}'
            f'/widget/photos/{SITE_ALBUM_ID}/photo/{pid("site", k)}/" title="小站照片 {k + 1}">'
            f'<img src="{self._picture("site", k, "thumb")}"></a>\n'
            f'    <div class="desc"><p>照片 {k + 1}</p></div>\n  </div>\n</li>\n'
            for k in range(start, min(start + SITE_PER_PAGE, SITE_PHOTOS)))
        following = ""
        if start + SITE_PER_PAGE < SITE_PHOTOS:
            link = f"{self.site_address()}?start={start + SITE_PER_PAGE}"
            following = (f'<span class="next"><link rel="next" href="{link}"/>'
                         f'<a href="{link}">后页&gt;</a></span>')
        return today_lists.document(
            TITLE["site"], f'<div class="event-photo-list"><ul class="list-s">\n{entries}</ul>'
            f'</div>\n<div class="paginator">{following}</div>\n', heading=False)

    def _note(self, signed_in):
        shown = NOTE_PICTURES if signed_in else NOTE_PICTURES - 1
        pictures = "".join(
            f'<p>第 {k + 1} 段。</p>\n<div class="image-container image-float-center">'
            f'<div class="image-wrapper"><img src="{self._picture("note", k, "l")}" width="600">'
            f'</div></div>\n' for k in range(shown))
        return today_lists.document(TITLE["note"], (
            f'<div class="note-header"><h1>{TITLE["note"]}</h1>'
            f'<a href="{self.www}/people/hupan/" class="note-author">{AUTHOR}</a></div>\n'
            f'<div class="note-container">\n{pictures}</div>\n'), heading=False)

    def _topic(self):
        pictures = "".join(f'<div class="image-container"><img src="'
                           f'{self._picture("topic", k, "l")}"></div>\n'
                           for k in range(TOPIC_PICTURES))
        comment = self._picture("topic", TOPIC_PICTURES, "l")
        return today_lists.document(TITLE["topic"], (
            f'<div class="topic-doc"><h3><span class="from">来自: <a href="{self.www}/people/'
            f'hupan/">{AUTHOR}</a></span></h3>\n<div class="topic-content"><div class="'
            f'rich-content topic-richtext">\n<p>今天在湖边。</p>\n{pictures}</div></div></div>\n'
            f'<ul id="comments"><li><div class="reply-doc"><img src="{comment}"></div></li>'
            f'</ul>\n'), heading=False)
