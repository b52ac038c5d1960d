# SPDX-License-Identifier: MIT
# Sourced by scripts/run. demo_on_xvfb PROGRAM FOLDER SHOT [ADDRESS]: starts PROGRAM on a fresh
# Xvfb display, types ADDRESS into the address box if given, clicks the download button, waits
# until the sample album's photos are in FOLDER, saves a screenshot of the window to SHOT and
# stops both again.

demo_on_xvfb() {
  local program=$1 folder=$2 shot=$3 address=${4:-}
  local display=":$((90 + RANDOM % 400))" window saved=0
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  demo_xvfb=$!
  trap 'kill ${demo_app:-} ${demo_xvfb:-} 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

  "$program" &
  demo_app=$!
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$demo_app" --name 'Tarn' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$demo_app" 2>/dev/null || { echo "Tarn ended before its window appeared." >&2; return 1; }
    sleep 0.1
  done
  [ -n "$window" ] || { echo "Tarn's window did not appear." >&2; return 1; }
  sleep 2  # the announcements arrive

  if [ -n "$address" ]; then
    # A click into the address box clears it, as a person would before pasting.
    xdotool mousemove --window "$window" 260 167 click 1
    xdotool type --window "$window" --delay 5 "$address"
  fi
  # The big download button spans the bottom of the window (y 416..476).
  xdotool mousemove --window "$window" 347 446 click 1
  echo "Clicked the download button; waiting for the photos..."
  for _ in $(seq 600); do
    if [ -n "$address" ]; then  # photos named by their address, as today's service has them
      saved=$( (find "$folder" -maxdepth 1 \( -name 'p*.jpg' -o -name 'p*.webp' \) 2>/dev/null ||
        true) | wc -l)
    else
      saved=$( (find "$folder" -maxdepth 1 -name '*.jpg' 2>/dev/null || true) | wc -l)
    fi
    [ "$saved" -ge "$SAMPLE_PHOTOS" ] && break
    sleep 0.2
  done
  xdotool mousemove --window "$window" 347 250  # off the button, for a calm picture
  sleep 1
  import -window "$window" "$shot"
  echo "Screenshot of the window: $shot"
  echo "$saved photos saved in $folder"
}
