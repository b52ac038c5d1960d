# SPDX-License-Identifier: MIT
"""The sample album's addresses and pages, and the announcement feed page.

The album pages follow the markup the program's scanner walks: every photo is announced by
"photolst_photo" and its thumbnail tag <img src="ADDRESS" /> comes next; the paginator's
<span class="next"> holds <link rel="next" href="ADDRESS"/> on every page but the last,
where it holds only the label 后页. The rest of the markup is there to look like a real page
and must never put those markers where the scanner would take them.
"""

from dataclasses import dataclass
from html import escape

DEFAULT_ALBUM_ID = 1681427427

ALBUM_TITLE = "西湖十景 · 湖光小集样例相册"
ALBUM_OWNER = "湖畔摄影"

# The ten classic West Lake scenes give the captions; later photos number their visits.
SCENES = [
    "苏堤春晓", "曲院风荷", "平湖秋月", "断桥残雪", "柳浪闻莺",
    "花港观鱼", "雷峰夕照", "双峰插云", "南屏晚钟", "三潭印月",
]

# First photo's id; ids step by a prime so they look scattered like real ones.
FIRST_PHOTO_ID = 2190455501
PHOTO_ID_STEP = 7919

ANNOUNCEMENTS = [
    ("湖光小集 1.1 发布：智能模式自动翻页，整本相册一键保存", "/notes/1"),
    ("小贴士：下载途中也可以更换保存目录，后面的照片会存进新目录", "/notes/2"),
    ("本周推荐相册：西湖十景", None),  # links to the sample album itself
    ("网络不稳定时，湖光小集会自动重试每一张照片", "/notes/4"),
    ("欢迎在讨论区留下你的建议和问题", "/notes/5"),
    ("广播：湖光小集是免费软件，保存的照片请尊重原作者的版权。", "/notes/6"),
    ("第七条公告：只在列表里，窗口不会显示它", "/notes/7"),
]


@dataclass(frozen=True)
class Album:
    album_id: int = DEFAULT_ALBUM_ID
    photo_count: int = 40
    per_page: int = 18
    # "gbk" serves the feed as feeds written for Chinese Windows were: GBK, with no charset in
    # the answer's Content-Type.
    feed_encoding: str = "utf-8"

    # --- addresses (paths; absolute addresses add "http://" + the Host the client sent) ---

    def album_path(self):
        return f"/photos/album/{self.album_id}/"

    def page_path(self, start):
        return self.album_path() if start == 0 else f"{self.album_path()}?start={start}"

    def page_starts(self):
        """The first photo of every page; an empty album still has its one page."""
        return list(range(0, self.photo_count, self.per_page)) or [0]

    def photo_id(self, index):
        return FIRST_PHOTO_ID + PHOTO_ID_STEP * index

    def thumb_path(self, index):
        return f"/view/photo/thumb/public/p{self.photo_id(index)}.jpg"

    def photo_path(self, index):
        return f"/view/photo/photo/public/p{self.photo_id(index)}.jpg"

    def photo_index(self, path, kind):
        """The index of the photo (kind "photo") or thumbnail (kind "thumb") at `path`, or None."""
        prefix, suffix = f"/view/photo/{kind}/public/p", ".jpg"
        if not (path.startswith(prefix) and path.endswith(suffix)):
            return None
        digits = path[len(prefix):-len(suffix)]
        if not digits.isdigit():
            return None
        offset = int(digits) - FIRST_PHOTO_ID
        if offset < 0 or offset % PHOTO_ID_STEP:
            return None
        index = offset // PHOTO_ID_STEP
        return index if index < self.photo_count else None

    def caption(self, index):
        visit = index // len(SCENES) + 1
        return f"{SCENES[index % len(SCENES)]} · 第{visit}次来"

    # --- pages ---

    def render_page(self, start, base):
        """Album page whose first photo is `start`; `base` is "http://host[:port]"."""
        starts = self.page_starts()
        page = starts.index(start)
        end = min(start + self.per_page, self.photo_count)
        album = base + self.album_path()
        photos = "".join(self._photo_block(i, base) for i in range(start, end))
        return f"""<!DOCTYPE html>
<html lang="zh-cmn-Hans">
<head>
  <meta http-equiv="Content-Type" content="text/html; charset=utf-8">
  <title>{escape(ALBUM_TITLE)}</title>
  <meta name="description" content="{escape(ALBUM_OWNER)}的相册：{escape(ALBUM_TITLE)}，共{self.photo_count}张照片">
  <link rel="stylesheet" href="{base}/static/album.css"/>
  <style>
    .photo_wrap {{ float: left; width: 201px; margin: 0 12px 24px 0; }}
    .photo_wrap .pl {{ color: #666; font-size: 12px; }}
  </style>
  <script>var _head_start = new Date(); var albumId = "{self.album_id}";</script>
</head>
<body>
<div id="db-global-nav">
  <a href="{base}/" class="nav-logo"><img src="{base}/pics/nav_logo.png" alt="豆瓣" /></a>
  <a href="{base}/mine/">我的豆瓣</a> <a href="{base}/notifications/">提醒</a>
</div>
<div id="wrapper">
<div id="content">
  <h1>{escape(ALBUM_TITLE)}</h1>
  <div class="grid-16-8 clearfix">
    <div class="article">
      <div class="photitle">
        <span class="pl">{escape(ALBUM_OWNER)} 创建于 2009-04-12 · 点击缩略图（thumb）看大图</span>
      </div>
      <div class="photolst clearfix">
{photos}      </div>
      <div class="paginator">
{self._paginator(page, starts, album)}
        <span class="count">(共{self.photo_count}张)</span>
      </div>
    </div>
    <div class="aside">
      <p class="pl2">&gt; <a href="{base}/people/hupan/photos">{escape(ALBUM_OWNER)}的全部相册</a></p>
      <p class="pl2">喜欢这个相册的人也喜欢 · · · · · ·</p>
    </div>
  </div>
</div>
<div id="footer">
  <span class="fleft gray-link">&copy; 2005－2009 豆瓣 <img src="{base}/pics/footer_lake.png" alt="湖光"/></span>
  <span class="fright"><a href="{base}/about">关于豆瓣</a> · <a href="{base}/help">帮助中心</a></span>
</div>
</div>
</body>
</html>
""".encode("utf-8")

    def _photo_block(self, index, base):
        caption = escape(self.caption(index))
        pid = self.photo_id(index)
        return f"""        <div class="photo_wrap">
          <a href="{base}/photos/photo/{pid}/" class="photolst_photo" title="{caption}">
            <img src="{base}{self.thumb_path(index)}" />
          </a>
          <div class="pl">{caption} <img src="{base}/pics/icon_like.png" alt="喜欢" /> {index % 7 + 1}</div>
        </div>
"""

    @staticmethod
    def _paginator(page, starts, album):
        def link(start):
            return album if start == 0 else f"{album}?start={start}"

        parts = []
        if page > 0:
            previous = link(starts[page - 1])
            parts.append(f"""        <span class="prev">
            <link rel="prev" href="{previous}"/>
            <a href="{previous}">&lt;前页</a>
        </span>""")
        else:
            parts.append('        <span class="prev">&lt;前页</span>')
        for number, start in enumerate(starts, 1):
            if number == page + 1:
                parts.append(f'        <span class="thispage" data-total-page="{len(starts)}">{number}</span>')
            else:
                parts.append(f'        <a href="{link(start)}">{number}</a>')
        if page + 1 < len(starts):
            following = link(starts[page + 1])
            parts.append(f"""        <span class="next">
            <link rel="next" href="{following}"/>
            <a href="{following}">后页&gt;</a>
        </span>""")
        else:
            # The scanner reads the link's address from a fixed offset after the span tag,
            # so on the last page it takes in this line break and indent with the label.
            parts.append("""        <span class="next">
            后页&gt;
        </span>""")
        return "\n".join(parts)

    # --- announcements ---

    def feed_content_type(self):
        return "text/html; charset=utf-8" if self.feed_encoding == "utf-8" else "text/html"

    def render_feed(self, base):
        """Six announcements and a seventh that the program keeps but never shows."""
        paragraphs = []
        for title, path in ANNOUNCEMENTS:
            link = base + (path or self.album_path())
            paragraphs.append(f"<P>quorbixtitle:{title}</P>\n<P>quorbixurl:{link}</P>")
        body = "\n".join(paragraphs)
        return f"""<!DOCTYPE html>
<html>
<head><meta charset="{self.feed_encoding}"><title>湖光小集 · 公告</title></head>
<body>
<h2>湖光小集公告</h2>
<p>下面的段落由湖光小集在启动时读取，前五条轮流显示，第六条是广播。</p>
{body}
<p class="footer">更新于 2009-06-01</p>
</body>
</html>
""".encode(self.feed_encoding)

    @staticmethod
    def render_note(number, base):
        title = ANNOUNCEMENTS[number - 1][0]
        return f"""<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>{escape(title)}</title></head>
<body>
<h1>{escape(title)}</h1>
<p>这是样例公告的详情页。<a href="{base}/feed">返回公告列表</a></p>
</body>
</html>
""".encode("utf-8")

    def render_index(self, base):
        return f"""<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>样例相册服务</title></head>
<body>
<p>相册：<a href="{base}{self.album_path()}">{base}{self.album_path()}</a>（{self.photo_count}张）</p>
<p>公告：<a href="{base}/feed">{base}/feed</a></p>
</body>
</html>
""".encode("utf-8")
