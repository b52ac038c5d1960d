#!/bin/sh
# SPDX-License-Identifier: MIT
# desktop-file-validate on the menu entry, which must say nothing: every key is one the
# validator of the distribution we package for knows.
#   validate_desktop_entry.sh FILE
out=$(desktop-file-validate "$1" 2>&1)
[ -z "$out" ] || { echo "$out"; exit 1; }
