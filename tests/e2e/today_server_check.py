#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks the sample album server's today's mode from outside, as a client sees it."""

import http.client
import os
import re
import ssl
import subprocess
import sys
import unittest
from urllib.parse import quote, urljoin, urlsplit

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
BROWSER = "Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 Chrome/131.0 Safari/537.36"
FIRST_ID, STEP = 2190455501, 7919  # the sample album's photo ids
WEBP_ONLY = 7
STAR_FIRST_ID, STAR_WEBP_ONLY, STAR_NO_LARGE = 2100000007, 11, 42  # the star's photos
TRUST = None  # the running server's test authority


class TodayServer:
    def __init__(self, *extra):
        self.process = subprocess.Popen(
            [sys.executable, os.path.join(ROOT, "tools", "sample_album_server.py"), "--today",
             "--port", "0", "--quiet", "--watch-stdin", *extra],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        self.ready = dict(part.split("=", 1) for part in line.split()[1:])
        assert line.startswith("READY"), line
        global TRUST
        TRUST = ssl.create_default_context(cafile=self.ready["ca"])

    def close(self):
        self.process.stdin.close()
        self.process.wait()
        self.process.stdout.close()


def get(address, user_agent=BROWSER, referer=None, cookie=None):
    parts = urlsplit(address)
    connection = http.client.HTTPSConnection(parts.hostname, parts.port, context=TRUST)
    headers = {"User-Agent": user_agent} if user_agent else {}
    if referer:
        headers["Referer"] = referer
    if cookie:
        headers["Cookie"] = cookie
    connection.request("GET", parts.path + (f"?{parts.query}" if parts.query else ""),
                       headers=headers)
    answer = connection.getresponse()
    body = answer.read()
    connection.close()
    return answer.status, answer.getheader("Content-Type"), body, answer.getheader("Location")


def photo(server, index, size, extension):
    return f"{server.ready['image']}/view/photo/{size}/public/p{FIRST_ID + STEP * index}{extension}"


class TodayModeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = TodayServer()
        cls.album = cls.server.ready["album"]

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def test_three_pages_in_todays_markup_and_a_last_page_without_next_span(self):
        ids, address, pages = [], self.album, []
        while address:
            status, _, body, _ = get(address)
            self.assertEqual(status, 200)
            page = body.decode("utf-8")
            pages.append(page)
            ids += [int(i) for i in re.findall(
                r'class="photolst_photo"[^>]*>\s*<img [^>]*?src="[^"]*/view/photo/m/public/p(\d+)'
                r'\.webp" alt="', page)]
            found = re.search(r'<span class="next">\s*<link rel="next" href="([^"]+)"/>', page)
            address = found.group(1) if found else None
        self.assertEqual(len(pages), 3)
        self.assertEqual(ids, [FIRST_ID + STEP * i for i in range(40)])
        self.assertNotIn('class="next"', pages[2])
        self.assertIn("?m_start=18", pages[0])
        first = pages[0]
        self.assertIn("<title>湖畔摄影的相册-西湖十景 · 湖光小集样例相册</title>", first)
        self.assertIn("<span>共40张照片</span>", first)
        self.assertIn('data-total-page="3"', first)
        self.assertIn('<p class="description">', first)
        self.assertIn('<img width="201" src="', first)
        self.assertIn("&quot;平湖秋月&quot;", first)
        self.assertIn("/view/photo/thumb/", first.split("photolst_photo")[0])  # the cover

    def test_sizes_and_formats_with_the_albums_referer(self):
        for referer in (self.album, self.album.split("/photos/")[0] + "/"):
            status, kind, body, _ = get(photo(self.server, 0, "l", ".jpg"), referer=referer)
            self.assertEqual((status, kind, body[:3]), (200, "image/jpeg", b"\xff\xd8\xff"))
        sizes = set()
        for size in ("m", "l", "xl"):
            status, kind, body, _ = get(photo(self.server, 1, size, ".webp"), referer=self.album)
            self.assertEqual((status, kind, body[:4], body[8:12]), (200, "image/webp", b"RIFF", b"WEBP"))
            sizes.add(len(body))
        self.assertEqual(len(sizes), 3)
        self.assertEqual(get(photo(self.server, 1, "raw", ".jpg"), referer=self.album)[0], 403)
        for size in ("m", "l", "xl"):
            for extension in (".jpg", ".webp"):
                status = get(photo(self.server, WEBP_ONLY, size, extension), referer=self.album)[0]
                self.assertEqual(status, 200 if (size, extension) == ("m", ".webp") else 404)

    def test_refusals(self):
        for agent in (None, "curl/8.0", "Wget/1.21"):
            self.assertEqual(get(self.album, user_agent=agent)[0], 418)
            self.assertEqual(get(photo(self.server, 0, "l", ".jpg"), user_agent=agent,
                                 referer=self.album)[0], 418)
        for referer in (None, "https://example.com/", self.album.replace("1681427427", "1")):
            status, kind, body, _ = get(photo(self.server, 0, "l", ".jpg"), referer=referer)
            self.assertEqual((status, kind, len(body)), (418, "image/jpeg", 13))
        status, _, body, _ = get(self.server.ready["private"])
        self.assertEqual(status, 200)
        self.assertIn("这个相册已被设为".encode(), body)
        self.assertNotIn(b"photolst_photo", body)

    def test_lists_keep_what_the_program_must_cope_with(self):
        ready = self.server.ready
        # The old address reaches the star's list only through pages of both hosts.
        hops, address = [], ready["celebrity"]
        while len(hops) < 5 and address != ready["star"]:
            status, _, _, location = get(address)
            hops.append(status)
            address = urljoin(address, location)
        self.assertEqual((hops, address), ([301, 301, 301, 302], ready["star"]))
        self.assertRegex(get(ready["film"])[2].decode(),
                         r'<link rel="next" href="[^"]*\?type=S&amp;start=30"/>')
        for index, extension, size, want in [
                (STAR_WEBP_ONLY, ".jpg", "l", 404), (STAR_WEBP_ONLY, ".jpg", "photo", 404),
                (STAR_WEBP_ONLY, ".webp", "l", 200), (STAR_NO_LARGE, ".jpg", "l", 404),
                (STAR_NO_LARGE, ".webp", "xl", 404), (STAR_NO_LARGE, ".jpg", "photo", 200)]:
            address = (f"{ready['image']}/view/photo/{size}/public/"
                       f"p{STAR_FIRST_ID + STEP * index}{extension}")
            self.assertEqual(get(address, referer=ready["star"])[0], want, address)

    def test_log_records_time_target_user_agent_and_referer(self):
        get(photo(self.server, 2, "m", ".jpg"), referer=self.album)
        _, _, body, _ = get(self.album.split("/photos/")[0] + "/stats")
        last = dict(f.split("=", 1) for f in body.decode().splitlines()[-1].split("\t")[1:])
        self.assertEqual(last["target"], urlsplit(photo(self.server, 2, "m", ".jpg")).path)
        self.assertEqual((last["user-agent"], last["referer"]), (BROWSER, self.album))
        self.assertEqual((last["host"], last["status"]), ("img", "200"))
        self.assertGreater(float(last["ms"]), 0)


class SignInTest(unittest.TestCase):
    """What would let a leaking or signed-out program pass if the fixture got it wrong."""

    @classmethod
    def setUpClass(cls):
        cls.server = TodayServer()
        cls.ready = cls.server.ready

    @classmethod
    def tearDownClass(cls):
        cls.server.close()

    def test_pages_behind_the_sign_in_send_others_to_the_accounts_host(self):
        wrong = re.sub(r'dbcl2="(\d+):', r'dbcl2="\1:x', self.ready["cookie"])
        for address in (self.ready["mine"], self.ready["person"]):
            for cookie in (None, wrong):
                status, _, _, location = get(address, cookie=cookie)
                self.assertEqual(status, 302)
                self.assertTrue(location.startswith("https://accounts."), location)
            self.assertEqual(get(address, cookie=self.ready["cookie"])[0], 200)

    def test_a_friends_photo_is_large_only_with_the_token_of_its_page(self):
        page = get(self.ready["friends"], cookie=self.ready["cookie"])[2].decode()
        thumb = re.search(r'<img src="([^"]+/view/photo/m/[^"]+/x(\d+)\.jpg)"', page)
        photo_page = get(f"{self.ready['friends'].split('/photos/')[0]}/photos/photo/"
                         f"{thumb.group(2)}/", cookie=self.ready["cookie"])[2].decode()
        large = re.search(r'class="mainphoto">\s*<a [^>]*><img src="([^"]+)"', photo_page).group(1)
        referer = self.ready["friends"]
        self.assertEqual(get(thumb.group(1), referer=referer)[0], 200)
        self.assertEqual(get(large, referer=referer)[0], 200)
        self.assertEqual(get(thumb.group(1).replace("/m/", "/l/"), referer=referer)[0], 404)
        self.assertEqual(get(large, referer=referer, cookie="bid=1")[0], 400)


class RateLimitTest(unittest.TestCase):
    def test_a_request_too_soon_is_sent_to_the_sorry_page(self):
        server = TodayServer("--min-gap-ms", "600000")
        try:
            album = server.ready["album"]
            self.assertEqual(get(album)[0], 200)
            status, _, _, location = get(album + "?m_start=18")
            self.assertEqual(status, 302)
            self.assertEqual(location, album.split("/photos/")[0] + "/misc/sorry?original-url=" +
                             quote(album + "?m_start=18", safe=""))
        finally:
            server.close()


if __name__ == "__main__":
    unittest.main()
