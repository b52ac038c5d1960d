# SPDX-License-Identifier: MIT
"""A generated sample album and announcement feed, served over HTTP on 127.0.0.1.

album.py renders the pages, photos.py draws the photos with ImageMagick, server.py serves
them (with optional faults for the retry tests), export.py writes them out as static files
for a static web server. tools/sample_album_server.py is the command line.
"""
