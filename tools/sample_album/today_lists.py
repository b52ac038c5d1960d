# SPDX-License-Identifier: MIT
"""A star's photos and a film's photos on today's service, and the old star address.

  www   /personage/<STAR_ID>/photos/ (?start=30, 60)   the star's 75 photos, 30 a page
  movie /subject/<FILM_ID>/photos?type=S|R|W (&start=30)  stills (32), posters (5),
                                                        wallpapers (none); no type: stills
  movie /celebrity/<OLD_STAR_ID>/photos/              moved to the star's list on www through
                                                      pages of both hosts, as the service does:
                                                      301 to www, 301 "../" there, 301 back to
                                                      movie /celebrity/<id>/, 302 to the list
  img   /view/photo/<photo|m|l|xl>/public/p<id>.<jpg|webp>

Each page lists its photos in a <ul class="poster-col3"> as the service does: the star's
entries link to /personage/<id>/photo/<pid>/ and list the size "photo", the film's carry
data-id and list the size "m"; the dimensions stand in div.prop, the caption in div.name.
Outside the list the star's page shows a portrait, which is no photo of the list. One star
entry has attributes before src in single quotes, one an empty caption, one no div.prop, and
an entry without an image stands on the first page. Film links join their query's parts
with "&amp;". The last page of a list has no next span.

The lists' photos take their bytes in turn from the first SOURCE_PHOTOS drawn photos: list
photo k of the star is drawn photo k % SOURCE_PHOTOS, the stills and posters start further
on (see _LISTS). Every list photo is served at photo and m (the drawn thumbnail), l (the
drawn photo) and xl, as .jpg and .webp, but STAR_WEBP_ONLY has no .jpg at all and
STAR_NO_LARGE only its listed size.
"""

from html import escape
from urllib.parse import parse_qs, urlsplit

from . import photos, today_photos
from .album import SCENES, Album

STAR_ID = 27260317
OLD_STAR_ID = 1315847  # the star's id before the service moved stars to www
FILM_ID = 35267208
STAR_NAME = "林湖光 Lin Huguang"
FILM_NAME = "西湖梦寻"
PER_PAGE = 30
SOURCE_PHOTOS = 40
STAR_WEBP_ONLY = 11
STAR_NO_LARGE = 42
SERVED_SIZES = ("photo", "m", "l", "xl")
PHOTO_ID_STEP = 7919
KINDS = {"S": "剧照", "R": "海报", "W": "壁纸"}

# Each list: photo count, first photo id, first drawn photo. Ids lie below the album's, so no
# list photo is taken for one of the album's.
_LISTS = {
    "star": (75, 2100000007, 0),
    "S": (32, 2110000013, 5),
    "R": (5, 2120000019, 20),
    "W": (0, 2130000023, 0),
}


def ensure_sources(cache_dir):
    """Draws and converts the photos the lists take their bytes from; returns how many files."""
    source = Album(photo_count=SOURCE_PHOTOS)
    return photos.ensure_photos(cache_dir, source) + today_photos.ensure_variants(cache_dir, source)


def photo_id(list_name, k):
    return _LISTS[list_name][1] + PHOTO_ID_STEP * k


def source_index(list_name, k):
    """The drawn photo whose files list photo k serves."""
    return (_LISTS[list_name][2] + k) % SOURCE_PHOTOS


class Lists:
    def __init__(self, cache_dir, www_base, movie_base, image_base):
        self.cache_dir = cache_dir
        self.www, self.movie, self.images = www_base, movie_base, image_base
        self._photos = {f"p{photo_id(name, k)}": (name, k)
                        for name, (count, _, _) in _LISTS.items() for k in range(count)}

    def star_address(self):
        return f"{self.www}/personage/{STAR_ID}/photos/"

    def film_address(self, kind="S"):
        return f"{self.movie}/subject/{FILM_ID}/photos?type={kind}"

    def celebrity_address(self):
        return f"{self.movie}/celebrity/{OLD_STAR_ID}/photos/"

    def is_list_referer(self, referer):
        """Whether `referer` is a page of the star's or the film's list, any query."""
        page = referer.split("?", 1)[0]
        return page in (self.star_address(), self.film_address().split("?", 1)[0])

    def www_page(self, target):
        """(status, body, location) for the album host's `target`, or None when not a list's."""
        parts = urlsplit(target)
        if parts.path == urlsplit(self.celebrity_address()).path:
            return 301, document("301 Moved Permanently", ""), "../"
        if parts.path == f"/celebrity/{OLD_STAR_ID}/":
            return 301, document("301 Moved Permanently", ""), f"{self.movie}{parts.path}"
        if parts.path != urlsplit(self.star_address()).path:
            return None
        return self._list_page("star", parts.query)

    def movie_page(self, target):
        """(status, body, location) for the film host's `target`, or None when not a list's."""
        parts = urlsplit(target)
        if parts.path == urlsplit(self.celebrity_address()).path:
            return 301, document("301 Moved Permanently", ""), f"{self.www}{parts.path}"
        if parts.path == f"/celebrity/{OLD_STAR_ID}/":
            return 302, document("302 Found", ""), self.star_address()
        if parts.path != f"/subject/{FILM_ID}/photos":
            return None
        kind = parse_qs(parts.query).get("type", ["S"])[0]
        return self._list_page(kind, parts.query) if kind in KINDS else None

    def image(self, stem, size, extension):
        """The bytes of list photo `stem` ("p<id>") at `size` as `extension`, or None."""
        found = self._photos.get(stem)
        if found is None or size not in SERVED_SIZES or extension not in (".jpg", ".webp"):
            return None
        name, k = found
        if name == "star" and k == STAR_WEBP_ONLY and extension == ".jpg":
            return None
        if name == "star" and k == STAR_NO_LARGE and size != "photo":
            return None
        path = today_photos.file_path(self.cache_dir, source_index(name, k),
                                      "m" if size == "photo" else size, extension)
        with open(path, "rb") as f:
            return f.read()

    def _list_page(self, name, query):
        count = _LISTS[name][0]
        values = parse_qs(query).get("start", ["0"])
        start = int(values[0]) if values[0].isdigit() else -1
        starts = list(range(0, count, PER_PAGE)) or [0]
        if start not in starts:
            return None
        entries = "".join(self._entry(name, k) for k in range(start, min(start + PER_PAGE, count)))
        if name == "star" and start == 0:
            entries = '<li class="deleted">\n  <div class="name">照片已删除</div>\n</li>\n' + entries
        title, portrait = f"{FILM_NAME} {KINDS.get(name)}", ""
        if name == "star":
            title = f"{STAR_NAME}的图片"
            portrait = (f'<div class="pic"><img src="{self.images}/view/personage/m/public/'
                        f'p{STAR_ID}.jpg" alt="{escape(STAR_NAME)}"/></div>\n')
        body = (f'{portrait}<ul class="poster-col3 clearfix">\n{entries}</ul>\n'
                f'<div class="paginator">\n{self._paginator(name, start, starts)}\n'
                f'<span class="count">(共{count}张)</span>\n</div>\n')
        return 200, document(title, body), None

    def _entry(self, name, k):
        pid = photo_id(name, k)
        index = source_index(name, k)
        width, height = photos.SIZES[index % len(photos.SIZES)]
        prop = f'  <div class="prop">\n    {width}x{height}\n  </div>\n'
        if name == "star":
            caption = f"{STAR_NAME} · {SCENES[k % len(SCENES)]} · 第{k + 1}张"
            opening, link = "<li>", f"{self.www}/personage/{STAR_ID}/photo/{pid}/"
            src = f"{self.images}/view/photo/photo/public/p{pid}.webp"
            image = (f"<img width='150' src='{src}'/>" if k == 1
                     else f'<img src="{src}" width="150"/>')
            caption = {2: f'{caption}，题字"西湖梦寻"', 3: ""}.get(k, caption)
            prop = "" if k == 4 else prop
        else:
            caption = f"{FILM_NAME} {KINDS[name]} {k + 1}"
            opening, link = f'<li data-id="{pid}">', f"{self.movie}/photos/photo/{pid}/"
            image = f'<img src="{self.images}/view/photo/m/public/p{pid}.webp" />'
        return (f'{opening}\n  <div class="cover">\n    <a href="{link}">{image}</a>\n  </div>\n'
                f'{prop}  <div class="name">\n    {escape(caption)}\n  </div>\n</li>\n')

    def _paginator(self, name, start, starts):
        def link(s):
            if name == "star":
                return self.star_address() + (f"?start={s}" if s else "")
            return self.film_address(name) + (f"&start={s}" if s else "")

        page = starts.index(start)
        parts = [f'<span class="thispage" data-total-page="{len(starts)}">{page + 1}</span>']
        if page + 1 < len(starts):
            following = escape(link(starts[page + 1]))
            parts.append(f'<span class="next">\n  <link rel="next" href="{following}"/>\n'
                         f'  <a href="{following}" >后页&gt;</a>\n</span>')
        return "\n".join(parts)


def document(title, body, heading=True):
    """A page of the service: its title, under it the title again as a heading when asked."""
    heading = f"<h1>{escape(title)}</h1>\n" if heading else ""
    return f"""<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>
    {escape(title)} (豆瓣)
</title>
</head>
<body>
<div id="content">
{heading}{body}</div>
</body>
</html>
""".encode("utf-8")
