#!/bin/sh
# SPDX-License-Identifier: MIT
# Formats each manual page as man does and fails on anything groff warns about.
#   man_warnings.sh PAGE...
status=0
for page; do
  warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { printf '%s:\n%s\n' "$page" "$warnings"; status=1; }
done
exit $status
