# SPDX-License-Identifier: MIT
"""Draws the sample photos with ImageMagick into a cache folder, once.

Photo i is the same bytes on every run with the same ImageMagick: a seeded plasma in one of a
few lake colours, grain, its number and a caption. Sizes run from 600x400 to 1200x800, which
makes files of roughly 50 to 250 KB, like phone photos shrunk for the web.
"""

import os
import shutil
import subprocess
import tempfile
from concurrent.futures import ThreadPoolExecutor

# Bump when the drawing changes, so old caches are not mistaken for new photos.
GENERATOR_VERSION = 2

SIZES = [(1200, 800), (800, 600), (1024, 683), (600, 400), (960, 640), (600, 900)]

# Colour pairs of water, sky and evening light.
PALETTE = [
    ("#2b5876", "#f7b733"), ("#1d976c", "#93f9b9"), ("#314755", "#26a0da"),
    ("#c04848", "#ffd194"), ("#4b6cb7", "#e0eafc"), ("#134e5e", "#71b280"),
    ("#614385", "#f4c4f3"), ("#0f2027", "#2c5364"),
]

THUMB_WIDTH = 200


def default_cache_dir():
    return os.path.join(tempfile.gettempdir(), f"tarn-sample-album-v{GENERATOR_VERSION}")


def photo_file(cache_dir, index):
    return os.path.join(cache_dir, f"photo_{index:04d}.jpg")


def thumb_file(cache_dir, index):
    return os.path.join(cache_dir, f"thumb_{index:04d}.jpg")


def _font():
    """A CJK face for the caption; fc-match falls back to some font when the Noto one is gone."""
    found = subprocess.run(["fc-match", "-f", "%{file}", "Noto Sans CJK SC:style=Bold"],
                           capture_output=True, text=True, check=False)
    return found.stdout.strip() if found.returncode == 0 else ""


def _draw(cache_dir, index, caption, font):
    width, height = SIZES[index % len(SIZES)]
    low, high = PALETTE[(index * 3) % len(PALETTE)]
    # Several processes may fill the same cache at once: write aside, then rename into place.
    fd, photo_tmp = tempfile.mkstemp(suffix=".jpg", dir=cache_dir)
    os.close(fd)
    thumb_tmp = photo_tmp[:-4] + "_t.jpg"
    font_args = ["-font", font] if font else []
    big = min(width, height) // 7
    try:
        subprocess.run(
            ["convert", "-seed", str(index + 1),
             # A small plasma blown up gives soft clouds; the grain gives JPEG some work.
             "-size", f"{width // 10}x{height // 10}", f"plasma:{low}-{high}",
             "-resize", f"{width}x{height}!", "-attenuate", "0.6", "+noise", "Laplacian",
             *font_args, "-fill", "white", "-stroke", "#00000080", "-strokewidth", "3",
             "-gravity", "southeast", "-pointsize", str(big),
             "-annotate", f"+{big // 3}+{big // 4}", f"No.{index + 1}",
             "-gravity", "northwest", "-pointsize", str(big // 2),
             "-annotate", f"+{big // 4}+{big // 4}", f"湖光 第{index + 1}张\n{caption}",
             "-strip", "-quality", "85",
             "-write", photo_tmp, "-thumbnail", f"{THUMB_WIDTH}x", thumb_tmp],
            check=True, capture_output=True)
        os.replace(thumb_tmp, thumb_file(cache_dir, index))
        os.replace(photo_tmp, photo_file(cache_dir, index))
    finally:
        for leftover in (photo_tmp, thumb_tmp):
            if os.path.exists(leftover):
                os.remove(leftover)


def ensure_photos(cache_dir, album):
    """Draws every photo of `album` that the cache lacks; returns how many were drawn."""
    if shutil.which("convert") is None:
        raise SystemExit("ImageMagick's convert is missing: apt-get install imagemagick")
    os.makedirs(cache_dir, exist_ok=True)
    missing = [i for i in range(album.photo_count)
               if not (os.path.exists(photo_file(cache_dir, i))
                       and os.path.exists(thumb_file(cache_dir, i)))]
    if missing:
        font = _font()
        with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            for future in [pool.submit(_draw, cache_dir, i, album.caption(i), font)
                           for i in missing]:
                future.result()
    return len(missing)
