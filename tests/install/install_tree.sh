#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR under /usr, lists every file, and checks each
# the way a desktop or a shell finds and reads it.
#   install_tree.sh BUILD_DIR WINDOW(ON|OFF)
set -uo pipefail
build=$1 window=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null || exit 1
(cd "$root" && find . ! -type d | sort)
usr=$root/usr
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$usr/bin/tarn-get" --version >/dev/null || fail "the installed tarn-get does not run"

pages=(tarn-get)
[ "$window" = ON ] && pages+=(tarn)
for page in "${pages[@]}"; do
  command -v man >/dev/null || break
  found=$(man -M "$usr/share/man" -w "$page" 2>/dev/null)
  [ "$found" = "$usr/share/man/man1/$page.1" ] || fail "man finds $page at '$found'"
done

# bash-completion loads a command's completion from $XDG_DATA_DIRS on first use, and the
# options come from the installed tarn-get.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  mkdir "$root/cwd" "$root/cwd/folder" && touch "$root/cwd/file"
  while IFS='|' read -r line expected; do
    reply=$(cd "$root/cwd" && PATH=$usr/bin:$PATH XDG_DATA_DIRS=$usr/share bash -c '
      . /usr/share/bash-completion/bash_completion
      __load_completion tarn-get || exit 1
      read -ra COMP_WORDS <<<"$1"
      [[ $1 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMP_LINE=$1 COMP_POINT=${#1}
      function=$(complete -p tarn-get | sed -n "s/.*-F \([^ ]*\).*/\1/p")
      "$function" tarn-get "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      echo "${COMPREPLY[*]}"' _ "$line")
    [ "$reply" = "$expected" ] || fail "completing '$line' gave '$reply', not '$expected'"
  done <<'ROWS'
tarn-get --fo|--folder
tarn-get --size x|xl
tarn-get -o |folder
ROWS
fi

if [ "$window" = ON ]; then
  # The menu entry names its icon; the theme looks it up by name and size.
  desktop=$(find "$usr/share/applications" -name '*.desktop')
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  for size in 48x48 128x128 256x256; do
    png=$usr/share/icons/hicolor/$size/apps/$icon.png
    read -r actual < <(python3 -c '
import struct, sys
head = open(sys.argv[1], "rb").read(24)
print("%dx%d" % struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else "no PNG")
' "$png" 2>/dev/null || echo missing)
    [ "$actual" = "$size" ] || fail "icon $icon for $size: $actual"
  done
  # The metainfo's launchable must be the installed menu entry.
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "The installed files check out."
