#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Draws all of Tarn's artwork into res/ (or into the folder given as $1), the desktop
# icons into dist/unix/icons/ (or into the folder given as $2), and tarn.exe's icon into
# dist/windows/ (or into the folder given as $3).
# Needs ImageMagick 6 (convert), python3, fontconfig and fonts-noto-cjk.
# The output is byte-for-byte the same on every run with the same tools.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:-$ROOT/res}
ICONS=${2:-$ROOT/dist/unix/icons}
WINDOWS=${3:-$ROOT/dist/windows}
# The app id of CMakeLists.txt: the menu entry finds the icons by it.
APP_ID=org.example.Tarn
mkdir -p "$OUT"
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# Palette: one family of greens everywhere.
DK2='#1B5E20'   # outlines, deepest shade
DK='#2E7D32'    # borders, headings
MID='#43A047'   # main green
BRT='#66BB6A'   # highlights
LT='#A5D6A7'    # soft lines
PALE='#E8F5E9'  # tints
BG='#F4F4F4'    # the window's own background
INK='#333333'   # body text

# --- fonts -----------------------------------------------------------------
# ImageMagick 6 always opens face 0 of a .ttc, which is the Japanese cut of
# Noto Sans CJK. Copy the Simplified Chinese face into a plain .otf so the
# hanzi get their mainland shapes.
extract_face() { # fontconfig pattern, output .otf
  local file idx
  file=$(fc-match -f '%{file}' "$1")
  idx=$(fc-match -f '%{index}' "$1")
  case $(fc-match -f '%{family}' "$1") in
    *"Noto Sans CJK SC"*) ;;
    *) echo "gen_artwork: font '$1' not found (install fonts-noto-cjk)" >&2; exit 1 ;;
  esac
  python3 - "$file" "$idx" "$2" <<'PY'
import struct, sys
src, idx, dst = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = open(src, 'rb').read()
off = struct.unpack('>I', data[12 + 4 * idx:16 + 4 * idx])[0] if data[:4] == b'ttcf' else 0
ntab = struct.unpack('>H', data[off + 4:off + 6])[0]
recs = [struct.unpack('>4sIII', data[off + 12 + 16 * i:off + 28 + 16 * i]) for i in range(ntab)]
head, body = data[off:off + 12], b''
dirs = b''
for tag, csum, toff, tlen in recs:
    dirs += struct.pack('>4sIII', tag, csum, 12 + 16 * ntab + len(body), tlen)
    body += data[toff:toff + tlen] + b'\0' * (-tlen % 4)
open(dst, 'wb').write(head + dirs + body)
PY
}
FR=$TMP/sc-regular.otf
FB=$TMP/sc-bold.otf
extract_face 'Noto Sans CJK SC:style=Regular' "$FR"
extract_face 'Noto Sans CJK SC:style=Bold' "$FB"

# --- output helpers --------------------------------------------------------
# 24-bit BMP, no alpha channel, nothing but pixels.
save_bmp() { convert "$1" -background "$BG" -alpha remove -alpha off -type TrueColor BMP3:"$OUT/$2"; }
# Baseline colour JPEG without metadata.
save_jpg() {
  convert "$1" -background "$BG" -alpha remove -alpha off -strip -colorspace sRGB -type TrueColor \
    -interlace None -sampling-factor 1x1 -quality 92 "JPEG:$OUT/$2"
}

# Dotted 1 px rule from x1 to x2 on row y: every third pixel set.
dots() { # x1 x2 y colour
  local x s="fill $4 "
  for ((x = $1; x <= $2; x += 3)); do s+="point $x,$3 "; done
  printf '%s' "$s"
}

# --- vector pieces, in a 100x100 unit box ------------------------------------
# Each prints MVG; sprite() renders it 8x larger and shrinks it, which gives
# clean anti-aliased edges at icon sizes.

mvg_mascot() { # full|tiny: tiny is for 32 px and less: bolder lines, bigger
  # pupils, a shorter tuft and no cheeks, so the face still reads.
  local line=2.6 tuft=1 pupil=7 glint=2.6 cheeks="fill rgba(255,150,150,0.75)
ellipse 24,70 5.5,3.3 0,360
ellipse 76,70 5.5,3.3 0,360"
  if [ "$1" = tiny ]; then line=3.6 tuft=0.72 pupil=7.8 glint=3 cheeks=""; fi
  cat <<MVG
push defs
push gradient body linear 20,20 80,96
stop-color '#8FD694' 0
stop-color '#4CAF50' 0.45
stop-color '#2E7D32' 1
pop gradient
push gradient leaf linear 50,0 66,22
stop-color '#DCEDC8' 0
stop-color '#8BC34A' 1
pop gradient
pop defs
push graphic-context
translate 50,24 scale $tuft,$tuft translate -50,-24
stroke '#1B5E20' stroke-width 2.2 stroke-linejoin round
push graphic-context
fill url(#leaf)
path 'M 50,24 C 46,13 53,3 68,1 C 69,12 62,21 50,24 Z'
path 'M 49,24 C 44,18 36,16 29,19 C 34,26 42,27 49,24 Z'
pop graphic-context
fill none stroke-width 1.2 stroke '#558B2F'
path 'M 51,22 Q 57,12 65,5'
pop graphic-context
push graphic-context
stroke '#1B5E20' stroke-width $line
fill url(#body)
circle 50,59 50,23
pop graphic-context
stroke none
fill rgba(255,255,255,0.22)
push graphic-context translate 34,39 rotate -35 ellipse 0,0 11,6 0,360 pop graphic-context
fill rgba(255,255,255,0.35)
push graphic-context translate 32,38 rotate -35 ellipse 0,0 6,3 0,360 pop graphic-context
stroke '#1B5E20' stroke-width 1.8 fill white
ellipse 37,56 9.5,11.5 0,360
ellipse 63,56 9.5,11.5 0,360
stroke none fill '#1A2A1C'
circle 38,58.5 38,$(awk "BEGIN{print 58.5 - $pupil}")
circle 62,58.5 62,$(awk "BEGIN{print 58.5 - $pupil}")
fill white
circle 40.5,55 40.5,$(awk "BEGIN{print 55 - $glint}")
circle 64.5,55 64.5,$(awk "BEGIN{print 55 - $glint}")
circle 35.8,61.8 35.8,60.6
circle 59.8,61.8 59.8,60.6
$cheeks
stroke '#1B5E20' stroke-width 1.6 stroke-linejoin round fill '#1B5E20'
path 'M 35,70 Q 50,74 65,70 Q 63,86 50,86 Q 37,86 35,70 Z'
stroke none fill '#F48FB1'
path 'M 43,82 Q 50,77 57,82 Q 55,85.2 50,85.2 Q 45,85.2 43,82 Z'
MVG
}

# Open cardboard-style box with a down arrow going into it.
mvg_box_arrow() { # body, flap, inside, arrow, stroke colours
  cat <<MVG
stroke '$5' stroke-width 4 stroke-linejoin round
fill '$3'
path 'M 18,52 L 30,44 L 70,44 L 82,52 Z'
fill '$2'
path 'M 18,52 L 3,40 L 17,33 L 30,44 Z'
path 'M 82,52 L 97,40 L 83,33 L 70,44 Z'
fill '$4'
path 'M 41,4 L 59,4 L 59,30 L 72,30 L 50,56 L 28,30 L 41,30 Z'
fill '$1'
path 'M 18,52 L 82,52 L 82,88 Q 82,94 76,94 L 24,94 Q 18,94 18,88 Z'
stroke none fill '$3'
rectangle 44,52 56,68
MVG
}

# Picture frame with sun and two mountains.
mvg_picture() { # frame/stroke colour, fill colour
  cat <<MVG
stroke '$1' stroke-width 7 stroke-linejoin round fill '$2'
roundrectangle 7,15 93,85 8,8
stroke none fill '$1'
circle 31,36 31,27
path 'M 12,80 L 38,50 L 54,66 L 67,53 L 88,80 Z'
MVG
}

# Eight-toothed gear with a hole.
mvg_gear() { # cx cy scale colour hole-colour
  local k s="push graphic-context translate $1,$2 scale $3,$3 fill '$4' stroke none "
  for k in 0 45 90 135 180 225 270 315; do
    s+="push graphic-context rotate $k roundrectangle -8,-46 8,-28 2,2 pop graphic-context "
  done
  s+="circle 0,0 0,34 fill '$5' circle 0,0 0,14 pop graphic-context"
  printf '%s' "$s"
}

# Three heart-shaped leaves on a stem that comes in from the left, so that a
# line drawn up to the left edge reads as the clover's own stem.
mvg_clover() {
  local a s="fill none stroke '$MID' stroke-width 7 stroke-linecap round
path 'M 0,50 Q 36,52 56,44'"
  for a in 0 120 240; do
    s+="
push graphic-context translate 62,40 rotate $a
stroke '$DK' stroke-width 3.5 stroke-linejoin round fill '#5CC14A'
path 'M 0,0 C -5,-6 -24,-12 -22,-27 C -20,-38 -6,-39 0,-30 C 6,-39 20,-38 22,-27 C 24,-12 5,-6 0,0 Z'
stroke none fill '#8EDB76'
path 'M 0,-6 C -4,-10 -16,-14 -15,-25 C -14,-31 -6,-31 -2,-26 Z'
stroke '#3E9B36' stroke-width 2 fill none
path 'M 0,-3 L 0,-26'
pop graphic-context"
  done
  printf '%s\nfill "#CDEFB0" stroke none circle 62,40 62,37\n' "$s"
}

# A single leaf, used as a bullet.
mvg_leaf() {
  cat <<MVG
stroke '$DK' stroke-width 6 stroke-linejoin round fill '$BRT'
path 'M 8,92 C 6,44 38,10 94,6 C 94,60 60,94 8,92 Z'
fill none stroke '$PALE' stroke-width 5 stroke-linecap round
path 'M 18,82 Q 46,50 78,22'
MVG
}

# Up arrow for the small image list.
mvg_up_arrow() { # fill, stroke
  cat <<MVG
stroke '$2' stroke-width 8 stroke-linejoin round fill '$1'
path 'M 50,6 L 92,50 L 67,50 L 67,93 L 33,93 L 33,50 L 8,50 Z'
MVG
}

# Round badge: a scalloped rosette with two ribbon tails and a star.
mvg_badge() {
  local k s="" star
  star=$(awk 'BEGIN { for (i = 0; i < 10; i++) { r = (i % 2) ? 7 : 16; a = 3.14159265 * (i / 5 - 0.5);
           printf "%.2f,%.2f ", 50 + r * cos(a), 42 + r * sin(a) } }')
  for ((k = 0; k < 360; k += 30)); do
    s+="push graphic-context translate 50,42 rotate $k circle 0,-32 0,-23 pop graphic-context "
  done
  cat <<MVG
stroke '$DK2' stroke-width 3 stroke-linejoin round fill '$MID'
path 'M 32,64 L 22,96 L 34,89 L 41,99 L 48,70 Z'
path 'M 68,64 L 78,96 L 66,89 L 59,99 L 52,70 Z'
stroke none fill '$DK'
$s
fill '$BRT' stroke '$DK2' stroke-width 2
circle 50,42 50,14
fill none stroke '$PALE' stroke-width 2.5
circle 50,42 50,19
fill '#FFF59D' stroke '#F9A825' stroke-width 1.5
polygon $star
MVG
}

# A page with a folded corner and a gear on it.
mvg_page_gear() {
  cat <<MVG
stroke '$DK' stroke-width 4 stroke-linejoin round fill white
path 'M 14,4 L 60,4 L 80,24 L 80,96 L 14,96 Z'
fill '$LT'
path 'M 60,4 L 60,24 L 80,24 Z'
stroke '$LT' stroke-width 5 stroke-linecap round
line 26,30 50,30
line 26,44 66,44
line 26,58 44,58
MVG
  mvg_gear 68 72 0.6 "$MID" white
}

# Round download mark used in the left panel's heading.
mvg_download_mark() {
  cat <<MVG
push defs
push gradient dm linear 0,0 0,100
stop-color '#81C784' 0
stop-color '#2E7D32' 1
pop gradient
pop defs
push graphic-context fill url(#dm) stroke '$DK2' stroke-width 4 circle 50,50 50,4 pop graphic-context
fill white stroke none
path 'M 42,20 L 58,20 L 58,46 L 71,46 L 50,70 L 29,46 L 42,46 Z'
rectangle 27,76 73,84
MVG
}

# Render one vector piece at SIZExSIZE with an alpha channel.
sprite() { # size, out.png, mvg...
  local n=$1 out=$2; shift 2
  local big=$((n * 8)) k
  k=$(awk "BEGIN { print $big / 100 }")
  convert -size ${big}x${big} xc:none -draw "scale $k,$k $*" \
    -filter Lanczos -resize ${n}x${n} "$out"
}

# The mascot, drawn large and fitted into a SIZExSIZE square.
mascot() { # size, out.png
  local detail=full
  (($1 <= 32)) && detail=tiny
  [ -f "$TMP/mascot-$detail.png" ] ||
    convert -size 800x800 xc:none -draw "scale 8,8 $(mvg_mascot $detail)" -trim +repage "$TMP/mascot-$detail.png"
  convert "$TMP/mascot-$detail.png" -filter Lanczos -resize "$1x$1" -background none -gravity center -extent "$1x$1" "$2"
}

# --- the pictures ------------------------------------------------------------

make_icon() {
  mascot 32 "$TMP/icon.png"
  convert "$TMP/icon.png" -define icon:auto-resize=32 "ICO:$OUT/tarn.ico"
}

# The mascot for the desktop's menus and docks, in the hicolor theme's sizes, with a little
# room around it as other programs' icons have. PNG without dates, so a rerun changes nothing.
make_app_icons() {
  local n dir
  for n in 48 128 256; do
    dir=$ICONS/hicolor/${n}x${n}/apps
    mkdir -p "$dir"
    mascot $((n * 15 / 16)) "$TMP/app$n.png"
    convert "$TMP/app$n.png" -background none -gravity center -extent "${n}x${n}" -strip \
      -define png:exclude-chunks=date,time "PNG32:$dir/$APP_ID.png"
  done
}

# tarn.exe's icon, in the sizes Explorer, the task bar and the Start menu ask for: each drawn
# at its size rather than scaled from one.
make_windows_icon() {
  local n sizes=()
  mkdir -p "$WINDOWS"
  for n in 16 24 32 48 64 256; do
    mascot $((n * 15 / 16)) "$TMP/win$n.png"
    convert "$TMP/win$n.png" -background none -gravity center -extent "${n}x${n}" -strip \
      "PNG32:$TMP/winx$n.png"
    sizes+=("$TMP/winx$n.png")
  done
  convert "${sizes[@]}" "ICO:$WINDOWS/tarn.ico"
}

make_banner() {
  mascot 88 "$TMP/m88.png"
  convert "$TMP/m88.png" -background none -rotate 8 "$TMP/m88r.png"
  mascot 58 "$TMP/m58.png"
  convert "$TMP/m58.png" -background none -rotate -12 "$TMP/m58r.png"
  local ripples=""
  local i
  for i in 0 1 2; do
    ripples+="ellipse 470,$((88 + i)) $((60 + 34 * i)),$((7 + 4 * i)) 180,360 "
  done
  convert -size 700x100 xc:"$DK" -draw "
push defs
push gradient bg linear 0,0 700,0
stop-color '#1F6B2A' 0
stop-color '#3C9A44' 0.42
stop-color '#359040' 0.72
stop-color '#225F2A' 1
pop gradient
pop defs
push graphic-context fill url(#bg) rectangle 0,0 700,100 pop graphic-context" \
    \( -size 700x50 gradient:'rgba(255,255,255,0.20)'-'rgba(255,255,255,0.02)' \) -geometry +0+0 -composite \
    -draw "
fill rgba(165,214,167,0.14)
path 'M 0,82 C 120,68 260,90 400,78 C 520,68 620,88 700,80 L 700,100 L 0,100 Z'
path 'M 0,92 C 140,84 280,98 420,90 C 540,84 640,96 700,92 L 700,100 L 0,100 Z'
fill rgba(255,255,255,0.07)
circle 500,30 500,4
circle 548,60 548,46
circle 420,18 420,10
circle 610,16 610,6
fill rgba(255,255,255,0.05)
circle 455,52 455,22
fill none stroke rgba(232,245,233,0.25) stroke-width 1.2
$ripples
stroke none fill rgba(0,0,0,0.25) rectangle 0,99 700,100
" \
    "$TMP/m88r.png" -geometry +12+4 -composite \
    "$TMP/m58r.png" -geometry +584+48 -composite \
    -draw "fill white stroke rgba(27,94,32,0.35) stroke-width 1
roundrectangle 106,12 187,40 13,13
stroke none path 'M 110,31 L 98,40 L 118,36 Z'" \
    -font "$FB" -pointsize 14 -fill "$DK" -annotate +118+32 '你好呀～' \
    \( -size 700x100 xc:none -font "$FB" -pointsize 38 -fill white -annotate +212+56 'Tarn 湖光小集' \
       -font "$FR" -pointsize 15 -fill "$PALE" -annotate +215+84 '把喜欢的相册，一键带回家' \
       \( +clone -background '#0B3D12' -shadow 55x1.5+1+2 \) +swap -background none -layers merge +repage \) \
    -geometry +0+0 -composite -crop 700x100+0+0 +repage "$TMP/banner.png"
  save_bmp "$TMP/banner.png" img1.bmp
}

# Light panel with a rounded dark-green border and a tinted heading strip.
panel() { # w h heading-height out.png
  local w=$1 h=$2 hh=$3
  convert -size ${w}x${h} xc:"$BG" -draw "
push defs
push gradient head linear 0,0 0,$hh
stop-color '#FFFFFF' 0
stop-color '#E6F2E6' 1
pop gradient
pop defs
fill '$BG' stroke none roundrectangle 0,0 $((w - 1)),$((h - 1)) 6,6
push graphic-context fill url(#head) roundrectangle 1,1 $((w - 2)),$((hh + 8)) 5,5 pop graphic-context
fill '$BG' rectangle 1,$hh $((w - 2)),$((hh + 10))
fill none stroke '$DK' stroke-width 1 roundrectangle 0,0 $((w - 1)),$((h - 1)) 6,6
$(dots 8 $((w - 9)) $((hh - 2)) "$MID")" "$4"
}

make_preview_panel() {
  panel 193 145 27 "$TMP/p1.png"
  sprite 16 "$TMP/pic16.png" "$(mvg_picture "$MID" white)"
  sprite 56 "$TMP/pic56.png" "$(mvg_picture '#D3D3D3' '#ECECEC')"
  convert "$TMP/p1.png" "$TMP/pic16.png" -geometry +9+4 -composite \
    -font "$FB" -pointsize 13 -fill "$DK" -annotate +30+17 '预览区' \
    "$TMP/pic56.png" -geometry +68+58 -composite \
    -font "$FR" -pointsize 11 -fill '#BDBDBD' -gravity North -annotate +0+116 '照片将在这里显示' \
    -pointsize 10 -fill '#8FAF8F' -gravity NorthEast -annotate +10+8 'PREVIEW' \
    "$TMP/p1.out.png"
  save_bmp "$TMP/p1.out.png" gift_normal1.bmp
}

make_settings_panel() {
  panel 193 120 28 "$TMP/p3.png"
  sprite 16 "$TMP/gear16.png" "$(mvg_gear 50 50 1 "$MID" white)"
  convert "$TMP/p3.png" "$TMP/gear16.png" -geometry +9+5 -composite \
    -font "$FB" -pointsize 13 -fill "$DK" -annotate +30+18 '设置' \
    -font "$FR" -pointsize 10 -fill '#8FAF8F' -gravity NorthEast -annotate +10+9 'SETTINGS' \
    "$TMP/p3.out.png"
  save_bmp "$TMP/p3.out.png" gift_normalimg3.bmp
}

make_folder_line() {
  local k ticks=""
  for ((k = 6; k <= 140; k += 6)); do
    if ((k % 30 == 0)); then ticks+="line $k,19 $k,21 "; else ticks+="line $k,19 $k,19 "; fi
  done
  sprite 26 "$TMP/clover.png" "$(mvg_clover)"
  convert -size 173x34 xc:"$BG" -draw "
fill '$MID' stroke none rectangle 2,17 148,17
fill '$LT' rectangle 2,18 148,18
stroke '$BRT' stroke-width 1 $ticks" \
    "$TMP/clover.png" -geometry +146+4 -composite "$TMP/line.png"
  save_bmp "$TMP/line.png" gift_normal_bg.bmp
}

# The download button face; $1 chooses the normal or the hover colours.
button_face() { # normal|over, out file
  local top mid low bot edge shadow
  if [ "$1" = normal ]; then
    top='#7DCB81' mid='#4CAF50' low='#3A9A3F' bot='#2E7D32' edge='#1B5E20' shadow='#0E4314'
  else
    top='#E6F5B8' mid='#B8DC6A' low='#9CCC45' bot='#7CB342' edge='#558B2F' shadow='#33691E'
  fi
  sprite 46 "$TMP/box46.png" "$(mvg_box_arrow white '#F1F8E9' "$edge" '#FFF59D' "$edge")"
  convert -size 700x60 xc:"$mid" -draw "
push defs
push gradient bar linear 0,0 0,60
stop-color '$top' 0
stop-color '$mid' 0.49
stop-color '$low' 0.51
stop-color '$bot' 1
pop gradient
pop defs
push graphic-context fill url(#bar) rectangle 0,0 700,60 pop graphic-context" \
    \( -size 700x29 gradient:'rgba(255,255,255,0.38)'-'rgba(255,255,255,0.10)' \) -geometry +0+1 -composite \
    -draw "fill rgba(255,255,255,0.55) rectangle 0,1 700,1
fill '$edge' rectangle 0,0 700,0 rectangle 0,59 700,59" \
    \( -size 700x60 xc:none "$TMP/box46.png" -geometry +226+6 -composite \
       -font "$FB" -pointsize 30 -fill white -gravity North -annotate -5+8 '一键下载' \
       \( +clone -background "$shadow" -shadow 70x1.5+1+2 \) +swap -background none -layers merge +repage \) \
    -gravity NorthWest -geometry +0+0 -composite -crop 700x60+0+0 +repage "$TMP/btn.png"
  save_bmp "$TMP/btn.png" "$2"
}

make_left_panel() {
  sprite 22 "$TMP/dl22.png" "$(mvg_download_mark)"
  mascot 24 "$TMP/m24.png"
  local groove_y=103
  convert -size 484x295 xc:"$BG" -draw "
push defs
push gradient head linear 0,0 0,44
stop-color '#FFFFFF' 0
stop-color '#EAF4EA' 1
pop gradient
push gradient head2 linear 0,172 0,210
stop-color '$BG' 0
stop-color '#EAF4EA' 1
pop gradient
pop defs
push graphic-context fill url(#head) stroke none roundrectangle 1,1 482,48 7,7 pop graphic-context
fill '$BG' rectangle 1,41 482,50
push graphic-context fill url(#head2) rectangle 1,172 482,210 pop graphic-context
fill none stroke '$LT' stroke-width 1 roundrectangle 0,0 483,294 7,7
$(dots 10 474 38 "$MID")
$(dots 10 474 212 "$MID")
fill white stroke '#9DBF9F' stroke-width 1 rectangle 81,57 444,75
fill '#E3E3E3' stroke '#A8A8A8' stroke-width 1 roundrectangle 81,$((groove_y - 2)) 444,$((groove_y + 2)) 2,2
stroke '#9A9A9A' line 85,109 85,113 line 440,109 440,113
" \
    "$TMP/dl22.png" -geometry +12+10 -composite \
    -font "$FB" -pointsize 15 -fill "$DK" -annotate +40+27 '我的下载专区' \
    -font "$FR" -pointsize 10 -fill '#8FAF8F' -annotate +140+27 'MY DOWNLOADS' \
    -font "$FR" -pointsize 12 -fill "$INK" \
    -annotate +13+71 '下载地址：' \
    -annotate +13+107 '模' -annotate +49+107 '式：' \
    -annotate +78+135 '标准模式' -annotate +399+135 '智能模式' \
    "$TMP/m24.png" -geometry +12+184 -composite \
    -font "$FB" -pointsize 15 -fill "$MID" -annotate +42+203 'Tarn' \
    -fill "$DK" -annotate +82+203 '小广播' \
    "$TMP/left.png"
  save_jpg "$TMP/left.png" gift_normal_bg1.jpg
}

make_about() {
  mascot 150 "$TMP/m150.png"
  convert "$TMP/m150.png" -background none -rotate -18 "$TMP/m150r.png"
  sprite 14 "$TMP/leaf14.png" "$(mvg_leaf)"
  # The window shows only the top 443 rows; keep everything that matters above.
  convert -size 350x450 xc:"$DK" -draw "
push defs
push gradient bg linear 0,0 0,450
stop-color '#2E7D32' 0
stop-color '#43A047' 0.55
stop-color '#388E3C' 1
pop gradient
pop defs
push graphic-context fill url(#bg) rectangle 0,0 350,450 pop graphic-context
fill rgba(255,255,255,0.06)
circle 300,40 300,0
circle 30,140 30,112
circle 80,392 80,362
fill rgba(255,255,255,0.18)
roundrectangle 136,72 214,94 11,11
fill rgba(255,255,255,0.95)
roundrectangle 24,112 326,320 10,10
$(dots 44 306 210 "$LT")
" \
    -font "$FB" -pointsize 30 -fill white -gravity North -annotate +0+22 'Tarn 湖光小集' \
    -font "$FR" -pointsize 13 -fill white -annotate +0+74 '版本 1.1' \
    -gravity NorthWest \
    "$TMP/leaf14.png" -geometry +42+132 -composite \
    "$TMP/leaf14.png" -geometry +42+226 -composite \
    -font "$FB" -pointsize 15 -fill "$DK" -annotate +60+127 '联系作者' -annotate +60+221 '欢迎来信' \
    -font "$FR" -pointsize 13 -fill "$INK" \
    -annotate +44+156 '作者：湖光工作室' \
    -annotate +44+178 '邮箱：tarn@example.org' \
    -annotate +44+250 '使用中遇到问题、有好的想法' \
    -annotate +44+272 '或商务合作，欢迎来信。' \
    -annotate +44+294 '每一封信我们都会认真读完。' \
    "$TMP/m150r.png" -geometry +218+294 -composite \
    -font "$FB" -pointsize 16 -fill white -annotate +26+392 'Tarn 湖光小集' \
    -font "$FR" -pointsize 11 -fill "$PALE" -annotate +26+416 '保存美好，更便捷' \
    "$TMP/about.png"
  save_jpg "$TMP/about.png" about.jpg
}

make_image_lists() {
  local f
  sprite 16 "$TMP/up0.png" "$(mvg_up_arrow '#FFF59D' "$MID")"
  sprite 16 "$TMP/up1.png" "$(mvg_up_arrow "$BRT" '#FFF59D')"
  sprite 32 "$TMP/l2_0.png" "$(mvg_badge)"
  sprite 32 "$TMP/l2_1.png" "$(mvg_box_arrow '#C8E6C9' '#E8F5E9' "$DK" '#FFEE58' "$DK")"
  sprite 32 "$TMP/l2_2.png" "$(mvg_page_gear)"
  save_bmp "$TMP/up0.png" imagelist1_0.bmp
  save_bmp "$TMP/up1.png" imagelist1_1.bmp
  for f in 0 1 2; do save_bmp "$TMP/l2_$f.png" imagelist2_$f.bmp; done
}

make_icon
make_app_icons
make_windows_icon
make_banner
make_preview_panel
make_settings_panel
make_folder_line
button_face normal download_normal.bmp
button_face over download_over.bmp
make_left_panel
make_about
make_image_lists
echo "artwork written to $OUT, desktop icons to $ICONS, the Windows icon to $WINDOWS"
