# SPDX-License-Identifier: MIT
# Sourced by scripts/test-windows: tarn.exe's window under Wine on a virtual display. Expects
# WINEPREFIX, wine (the wine64 loader), and for window_run a started sample album server.
wineserver=/usr/lib/wine/wineserver

# start_wine_display: a fresh Xvfb display for Wine's windows, stopped when the shell ends.
start_wine_display() {
  local display=":$((500 + RANDOM % 400))"
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  WINE_XVFB=$!
  trap 'kill "$WINE_XVFB" 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb did not start on $display." >&2
  return 1
}

# wine_window PROGRAM: starts PROGRAM (a Windows path or a host path of an .exe) in its own
# folder and sets WINDOW to Tarn's main window once it shows, and WINDOW_PID to the program.
wine_window() {
  local program=$1
  WINDOW=
  (cd "$(dirname "$program")" && exec "$wine" "$program") >/dev/null 2>&1 &
  WINDOW_PID=$!
  for _ in $(seq 300); do
    WINDOW=$(xdotool search --onlyvisible --name '^Tarn湖光小集$' 2>/dev/null | head -n 1 || true)
    [ -n "$WINDOW" ] && return 0
    kill -0 "$WINDOW_PID" 2>/dev/null || { echo "tarn.exe ended before its window showed." >&2; return 1; }
    sleep 0.1
  done
  echo "tarn.exe's window did not show." >&2
  return 1
}

# click_in_window X Y: a click at the client area's X Y, wherever Wine put its frame.
click_in_window() {
  local WIDTH HEIGHT X Y SCREEN
  eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
  # The frame is as wide on the left, right and bottom; the rest is the title bar.
  local left=$(((WIDTH - 695) / 2)) top=$((HEIGHT - 476 - (WIDTH - 695) / 2))
  xdotool mousemove --window "$WINDOW" $((left + $1)) $((top + $2)) click 1
}

# stop_wine_programs: ends every program of the prefix, and waits for that.
stop_wine_programs() {
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  [ -z "${WINDOW_PID:-}" ] || wait "$WINDOW_PID" 2>/dev/null || true
}

# window_run FOLDER SHOT: tarn.exe with Config.ini beside it naming FOLDER (a Chinese name) in
# the smart mode; one click on the download button, the sample album saved there byte for
# byte, and a screenshot of the window in SHOT.
window_run() {
  local folder=$1 shot=$2 run
  run=$(dirname "$folder")/window-program
  rm -rf "$run" "$folder" && mkdir -p "$run"
  cp "$build/tarn/tarn.exe" "$run/"
  printf '[Config]\r\nDownLoad_Directory=%s\r\nDownLoad_Mode=1\r\n' \
    "$("$wine" winepath -w "$folder" 2>/dev/null | tr -d '\r')" >"$run/Config.ini"
  wine_window "$run/tarn.exe" || return 1
  sleep 2  # the announcements arrive
  # The big download button spans the bottom of the window (y 416..476).
  click_in_window 347 446
  for _ in $(seq 600); do
    [ "$( (find "$folder" -maxdepth 1 -name '*.jpg' 2>/dev/null || true) | wc -l)" -ge "$SAMPLE_PHOTOS" ] &&
      break
    sleep 0.2
  done
  sleep 1  # the last photo's preview
  import -window root "$shot"
  stop_wine_programs
  whole_photos "$folder"
  echo "window: $whole whole photos of $files files; screenshot $shot"
  [ "$whole" -eq "$SAMPLE_PHOTOS" ] && [ "$files" -eq "$SAMPLE_PHOTOS" ]
}

# installer_run SETUP: a silent install puts the files, the Start-menu entry and the uninstall
# keys where they belong; the installed tarn.exe, its folder closed to new files as Program
# Files is to a user, keeps its settings in %APPDATA%\tarn; a silent uninstall takes all of it
# away but those settings.
installer_run() {
  local setup=$1 c_drive=$WINEPREFIX/drive_c failed=
  local installed="$c_drive/Program Files/Tarn"
  local shortcut="$c_drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tarn 湖光小集.lnk"
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarn'
  local settings="$c_drive/users/$(id -un)/AppData/Roaming/tarn/Config.ini" kept=
  rm -f "$settings"
  "$wine" "$setup" /S && "$wineserver" -w || { echo "the installer failed" >&2; return 1; }
  for file in tarn.exe tarn-get.exe uninstall.exe LICENSE.txt README.txt; do
    [ -f "$installed/$file" ] || { echo "not installed: $file" >&2; failed=1; }
  done
  [ -f "$shortcut" ] || { echo "no Start-menu entry" >&2; failed=1; }
  "$wine" reg query "$key" /v UninstallString 2>/dev/null | grep -q 'uninstall.exe' ||
    { echo "no uninstall key" >&2; failed=1; }

  if chattr +i "$installed" 2>/dev/null; then
    wine_window 'C:\Program Files\Tarn\tarn.exe' || failed=1
    for _ in $(seq 100); do [ -f "$settings" ] && break; sleep 0.1; done
    stop_wine_programs
    chattr -i "$installed"
    [ -f "$settings" ] && kept=1 || { echo "no settings in %APPDATA%\\tarn" >&2; failed=1; }
    [ ! -e "$installed/Config.ini" ] || { echo "settings beside the installed tarn.exe" >&2; failed=1; }
  else
    echo "skipped: this file system cannot close a folder to new files (chattr +i)" >&2
  fi

  "$wine" "$installed/uninstall.exe" /S && "$wineserver" -w || { echo "the uninstaller failed" >&2; return 1; }
  [ ! -e "$installed" ] || { echo "left after uninstall: $(ls "$installed")" >&2; failed=1; }
  [ ! -e "$shortcut" ] || { echo "Start-menu entry left after uninstall" >&2; failed=1; }
  if "$wine" reg query "$key" >/dev/null 2>&1; then echo "uninstall key left" >&2; failed=1; fi
  [ -z "$kept" ] || [ -f "$settings" ] || { echo "the uninstaller took the user's settings" >&2; failed=1; }
  [ -z "$failed" ]
}
