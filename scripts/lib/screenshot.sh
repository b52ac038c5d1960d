#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# screenshot.sh PROGRAM OUT.png: runs PROGRAM on a fresh Xvfb display, waits for its main
# window, saves a screenshot of that window and stops both again.
set -euo pipefail
program=$1
out=$2

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

"$program" &
app=$!

window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --pid "$app" --name 'Tarn' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  kill -0 "$app" 2>/dev/null || { echo "Tarn ended before its window appeared." >&2; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "Tarn's window did not appear." >&2; exit 1; }
sleep 1  # let the first paint finish
import -window "$window" "$out"
echo "Screenshot of the window: $out"
