#!/bin/sh
# SPDX-License-Identifier: MIT
# desktop-file-validate on the menu entry, which must say nothing. Its complaint about
# SingleMainWindow is left out: the key is in the Desktop Entry format since version 1.5,
# which validators before desktop-file-utils 0.27 do not know.
#   validate_desktop_entry.sh FILE
out=$(desktop-file-validate "$1" 2>&1 |
  grep -v 'contains key "SingleMainWindow" in group "Desktop Entry"')
[ -z "$out" ] || { echo "$out"; exit 1; }
