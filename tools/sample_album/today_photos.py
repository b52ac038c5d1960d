# SPDX-License-Identifier: MIT
"""Today's image host's files: every photo at sizes m, l and xl, each as .jpg and .webp.

m is the drawn thumbnail, l the drawn photo, xl the photo enlarged by half; the .webp files
are converted from the .jpg of the same size. They are made once into the same cache as the
drawn photos. One photo (WEBP_ONLY) exists only as .webp and only at m, like a photo whose
other files the service lost.
"""

import os
import subprocess
from concurrent.futures import ThreadPoolExecutor

from . import photos as photo_files

SIZES = ("m", "l", "xl")
EXTENSIONS = (".jpg", ".webp")
# The photo the image host has only as m/.webp: its .jpg answers 404 at every size.
WEBP_ONLY = 7
# How much larger xl is than l.
XL_PERCENT = 150


def variant_file(cache_dir, index, size, extension):
    return os.path.join(cache_dir, f"today_{size}_{index:04d}{extension}")


def file_path(cache_dir, index, size, extension):
    """The cached file of photo `index` at `size` as `extension`."""
    if size == "xl" or extension == ".webp":
        return variant_file(cache_dir, index, size, extension)
    return {"m": photo_files.thumb_file, "l": photo_files.photo_file}[size](cache_dir, index)


def served(index, size, extension):
    """Whether the image host has photo `index` at `size` as `extension`."""
    if index == WEBP_ONLY:
        return size == "m" and extension == ".webp"
    return size in SIZES and extension in EXTENSIONS


def _make(cache_dir, index):
    made = 0
    for size in SIZES:
        jpg = variant_file(cache_dir, index, size, ".jpg")
        webp = variant_file(cache_dir, index, size, ".webp")
        if size == "xl" and not os.path.exists(jpg):
            _convert([photo_files.photo_file(cache_dir, index), "-resize", f"{XL_PERCENT}%",
                      "-quality", "85"], jpg)
            made += 1
        source = {"m": photo_files.thumb_file(cache_dir, index),
                  "l": photo_files.photo_file(cache_dir, index)}.get(size, jpg)
        if not os.path.exists(webp):
            _convert([source, "-quality", "80"], webp)
            made += 1
    return made


def _convert(arguments, target):
    # Written aside and renamed, so a cache shared by several servers never holds half a file.
    temp = f"{target}.{os.getpid()}.tmp{os.path.splitext(target)[1]}"
    try:
        subprocess.run(["convert", *arguments, temp], check=True, capture_output=True)
        os.replace(temp, target)
    finally:
        if os.path.exists(temp):
            os.remove(temp)


def ensure_variants(cache_dir, album):
    """Makes every file the image host serves that the cache lacks; returns how many."""
    with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        return sum(pool.map(lambda i: _make(cache_dir, i), range(album.photo_count)))


def load(cache_dir, album):
    """{(index, size, extension): bytes} of every file the image host serves."""
    files = {}
    for index in range(album.photo_count):
        for size in SIZES:
            for extension in EXTENSIONS:
                if not served(index, size, extension):
                    continue
                with open(file_path(cache_dir, index, size, extension), "rb") as f:
                    files[(index, size, extension)] = f.read()
    return files
