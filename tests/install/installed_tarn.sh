#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installed tarn, from a prefix its user cannot write, as a user meets it: the first start
# makes its settings in $XDG_CONFIG_HOME/tarn/Config.ini; with the save folder and the smart
# mode written there, a click on the download button saves the sample album.
#   installed_tarn.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2
# Generous bounds for a sanitizer build on a busy machine; each wait ends as soon as it can.
start_tries=600     # x 0.1 s for the settings file or the window
download_tries=1800 # x 0.1 s for the album

work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  kill ${tarn:-} ${xvfb:-} 2>/dev/null || true
  chmod -R u+w "$work" && rm -rf "$work"
}
trap cleanup EXIT
DESTDIR=$work cmake --install "$build" --prefix /usr >/dev/null
chmod -R a-w "$work/usr"
config=$work/home/config/tarn/Config.ini
photos=$work/home/photos
mkdir -p "$work/home"

# Root may write anywhere, read-only or not: run tarn as a user the prefix is closed to.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody:nogroup "$work/home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
run_tarn() { # platform
  env -u TARN_FEED_URL HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
    QT_QPA_PLATFORM="$1" "${as_user[@]}" "$work/usr/bin/tarn" &
  tarn=$!
}
die() {
  echo "FAILED: $*" >&2
  exit 1
}
wait_for() { # tries, condition...
  local tries=$1
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    kill -0 "$tarn" 2>/dev/null || { echo "tarn ended early" >&2; return 1; }
    sleep 0.1
  done
  return 1
}

run_tarn offscreen
wait_for $start_tries test -s "$config" || die "no settings in $config"
kill "$tarn"
wait "$tarn" 2>/dev/null || true
if find "$work/usr" -name Config.ini | grep .; then die "settings in the prefix"; fi

. "$source/scripts/lib/sample_server.sh"
start_sample_server "$source"
printf '[Config]\r\nDownLoad_Directory=%s\r\nDownLoad_Mode=1\r\n' "$photos" >"$config"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for ((i = 0; i < start_tries; i++)); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$work/display")
export DISPLAY
run_tarn xcb
window=
find_window() {
  window=$(xdotool search --onlyvisible --pid "$tarn" --name Tarn 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
wait_for $start_tries find_window || die "no window"

# X11 desktops match a window to its menu entry, and so to its icon, by the instance name.
instance=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "\([^"]*\)".*/\1/p')
wm_class=$(sed -n 's/^StartupWMClass=//p' "$work"/usr/share/applications/*.desktop)
[ "$instance" = "$wm_class" ] || die "WM_CLASS '$instance', menu entry '$wm_class'"

# The download button spans the bottom of the window (y 416..476).
xdotool mousemove --window "$window" 347 446 click 1
saved() { find "$photos" -maxdepth 1 -name '*.jpg' 2>/dev/null | wc -l; }
all_saved() { [ "$(saved)" -ge "$SAMPLE_PHOTOS" ]; }
wait_for $download_tries all_saved || die "$(saved) of $SAMPLE_PHOTOS photos saved"
echo "The installed tarn kept its settings in $config and saved $SAMPLE_PHOTOS photos."
