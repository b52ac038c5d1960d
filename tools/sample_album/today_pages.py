# SPDX-License-Identifier: MIT
"""The sample album in today's markup, as the service's pages look now.

Each entry is a photo_wrap whose link carries "photolst_photo" and the full caption in its
title; the image tag gives the list-size (m) .webp address first and alt after it, except one
entry whose tag has attributes before src. The album's cover stands in a sharing block outside
every entry. The title is "OWNER的相册-TITLE", the count "共N张照片", the description a
<p class="description">. Later pages are ?m_start=18, ?m_start=36, ...; every page but the
last has a next span with a link and an anchor, and the last page has no next span at all.
"""

from html import escape

from .album import ALBUM_OWNER, ALBUM_TITLE

# A second album whose owner shows it to no one.
PRIVATE_ALBUM_ID = 1681427428
PRIVATE_NOTICE = "这个相册已被设为仅自己可见"

DESCRIPTION = ("春夏秋冬的西湖，从苏堤到三潭印月。<br/>"
               "照片由湖光小集样例生成 &amp; 仅供测试。")
# The photo whose caption holds a double quote, as &quot; in the page.
QUOTED_PHOTO = 2
# The entry whose image tag has attributes before src, as older pages had.
ATTRIBUTES_FIRST_PHOTO = 1


def full_caption(album, index):
    caption = f"{album.caption(index)}，湖光与山色"
    if index == QUOTED_PHOTO:
        caption += '，石碑上写着"平湖秋月"'
    return caption


def page_path(album, start):
    return album.album_path() if start == 0 else f"{album.album_path()}?m_start={start}"


def photo_address(album, index, image_base, size="m", extension=".webp"):
    return f"{image_base}/view/photo/{size}/public/p{album.photo_id(index)}{extension}"


def render_page(album, start, base, image_base):
    """The page whose first photo is `start`; `base` and `image_base` are scheme://host:port."""
    starts = album.page_starts()
    page = starts.index(start)
    end = min(start + album.per_page, album.photo_count)
    entries = "".join(_entry(album, i, base, image_base) for i in range(start, end))
    cover = f"{image_base}/view/photo/thumb/public/p{album.photo_id(0)}.jpg"
    return _document(
        f"{ALBUM_OWNER}的相册-{ALBUM_TITLE}", base,
        f"""<div class="sharing">
  <a href="{base}{album.album_path()}" class="share-link">分享</a>
  <img src="{cover}" class="cover" alt="{escape(ALBUM_TITLE)}"/>
</div>
<div class="pl photitle"><span>共{album.photo_count}张照片</span> 创建于2009-04-12</div>
<p class="description">{DESCRIPTION}</p>
<div class="photolst clearfix">
{entries}</div>
<div class="paginator">
{_paginator(album, page, starts, base)}
</div>
""")


def render_empty(album, base):
    """A page of the album that lists no photo and links nowhere, as a failing service sends."""
    return _document(f"{ALBUM_OWNER}的相册-{ALBUM_TITLE}", base,
                     f'<div class="pl photitle"><span>共{album.photo_count}张照片</span></div>\n'
                     '<div class="photolst clearfix">\n</div>\n')


def render_private(base):
    return _document(f"{ALBUM_OWNER}的相册-私人相册", base,
                     f'<div class="article"><p class="pl2">{PRIVATE_NOTICE}</p></div>\n')


def render_sorry(base):
    return _document("豆瓣 - 登录跳转页", base,
                     "<p>检测到有异常请求从你的 IP 发出，请登录使用豆瓣。</p>\n"
                     '<form action="/misc/sorry" method="post"><input name="captcha"/></form>\n')


def _entry(album, index, base, image_base):
    pid = album.photo_id(index)
    caption = escape(full_caption(album, index))
    short = escape(album.caption(index))
    src = photo_address(album, index, image_base)
    before = 'width="201" ' if index == ATTRIBUTES_FIRST_PHOTO else ""
    return f"""<div class="photo_wrap">
  <a href="{base}/photos/photo/{pid}/" class="photolst_photo" title="{caption}">
    <img {before}src="{src}" alt="{short}" />
  </a><br/>
  <div class="pl">{short}...</div>
</div>
"""


def _paginator(album, page, starts, base):
    def link(start):
        return base + page_path(album, start)

    parts = []
    if page > 0:
        parts.append(f'<span class="prev"><link rel="prev" href="{link(starts[page - 1])}"/>'
                     f'<a href="{link(starts[page - 1])}">&lt;前页</a></span>')
    for number, start in enumerate(starts, 1):
        if number == page + 1:
            parts.append(f'<span class="thispage" data-total-page="{len(starts)}">{number}</span>')
        else:
            parts.append(f'<a href="{link(start)}">{number}</a>')
    if page + 1 < len(starts):
        following = link(starts[page + 1])
        parts.append(f"""<span class="next">
  <link rel="next" href="{following}"/>
  <a href="{following}" >后页&gt;</a>
</span>""")
    return "\n".join(parts)


def _document(title, base, body):
    return f"""<!DOCTYPE html>
<html lang="zh-cmn-Hans">
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{escape(title)}</title>
<link rel="stylesheet" href="{base}/static/album.css"/>
</head>
<body>
<div id="db-global-nav"><a href="{base}/">豆瓣</a></div>
<div id="content">
<h1>{escape(title)}</h1>
{body}</div>
</body>
</html>
""".encode("utf-8")
